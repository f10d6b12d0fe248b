#include "ImportaFile.h"

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
        try {
            Fornitura::importa(d, campi);
        } catch (const Errore& e) {
            throw Errore(QStringLiteral("Riga %1: %2").arg(n).arg(e.testo()));
        } catch (const std::exception& e) {
            throw Errore(QStringLiteral("Riga %1: %2").arg(n).arg(QString::fromUtf8(e.what())));
        }
    }
    d.completaCaricamento();
    tr.conferma();
    return r;
}
