#include "ImportaFile.h"

#include "Campo.h"
#include "Connessione.h"
#include "FileTesto.h"
#include "RecordFornitura.h"
#include "dmTabelle.h"

namespace {
// However the run ends: the rows still gathered for writing and the counter
// of repeated rows are dropped, and the supply views are reopened, so that
// nothing read before the run survives it. It must outlive the run's
// transaction: a failed run is undone first, and only then do the views read
// the tables again.
struct FineRun {
    TdTabelle& d;
    Avanzamento* a;
    ~FineRun()
    {
        d.terminaCaricamento();
        if (a)
            a->fine();
        try {
            d.applicaFiltroGestione();
        } catch (...) {
        }
    }
};

// `testo` becomes a copy of `campo`, in the storage it already has.
void copia(QString& testo, QStringView campo)
{
    testo.resize(0);
    testo.append(campo);
}
}  // namespace

RisultatoImport ImportaFile(TdTabelle& d, const QString& file, Avanzamento* avanzamento)
{
    LettoreTesto testo(file);

    // First pass: the line count and the last line. Reading always takes a
    // line, so an empty file counts one empty line.
    RisultatoImport r;
    QByteArray ultima;
    do {
        testo.leggiRigaByte(ultima);
        ++r.righe;
    } while (!testo.fine());
    if (Cp1252::decodifica(ultima.left(4)) != d.codiceGestione())
        throw ComuneNonCorrisponde();
    {
        const QString riga = Cp1252::decodifica(ultima);
        const CampiRiga campi(riga);
        r.ultimaRiepilogo = Fornitura::tipo(campi) == Fornitura::Tipo::Riepilogo;
        if (r.ultimaRiepilogo)
            r.totUiu = Conversione::intero(campi.vista(5));
    }

    Connessione& db = d.connessione();
    d.applicaFiltroGestione();  // rows read earlier must not mix with the new ones
    FineRun fine{d, avanzamento};
    Transazione tr(db);
    d.AzzeraArchivi();
    d.iniziaCaricamento(r.righe);
    if (avanzamento)
        avanzamento->inizio(r.righe);

    testo.riavvolgi();
    // the line, its text and its fields keep their storage from line to line
    QByteArray grezza;
    QString riga;
    CampiRiga campi;
    for (qint64 n = 1; !testo.fine(); ++n) {
        testo.leggiRigaByte(grezza);
        Cp1252::decodifica(grezza.constData(), grezza.size(), riga);
        campi.dividi(riga);
        copia(d.CodiceRiga, campi.vista(1));
        copia(d.SezioneRiga, campi.vista(2));
        copia(d.ImmobileRiga, campi.vista(3));
        copia(d.ProgressivoRiga, campi.vista(4));
        if (avanzamento)
            avanzamento->passo();
        if (Fornitura::tipo(campi) == Fornitura::Tipo::Unita)
            ++r.unita;
        try {
            Fornitura::importa(d, campi);
        } catch (...) {
            throw ErroreRiga(n);
        }
    }
    try {
        d.completaCaricamento();  // the rows still gathered
        tr.conferma();
    } catch (...) {
        // the transaction is still open: FineRun and the rollback leave the database as it was
        throw Errore(QStringLiteral("Riga %1, salvataggio finale dell'import non riuscito, il database è rimasto com'era: %2")
                         .arg(r.righe)
                         .arg(TestoEccezioneCorrente()));
    }
    r.avvisoRegistro = db.consolidaRegistro();
    return r;
}

QString AvvisoRiepilogo(const RisultatoImport& r)
{
    if (!r.ultimaRiepilogo)
        return QStringLiteral("l'ultima riga del file non è il riepilogo della fornitura: il file potrebbe essere "
                              "incompleto (unità nel file: %1; TotUIU del riepilogo: assente)")
            .arg(r.unita);
    if (!r.totUiu || *r.totUiu != r.unita)
        return QStringLiteral("il riepilogo della fornitura dichiara %1 unità (TotUIU) ma il file ne contiene %2: il "
                              "file potrebbe essere incompleto")
            .arg(r.totUiu ? QString::number(*r.totUiu) : QStringLiteral("?"))
            .arg(r.unita);
    return {};
}
