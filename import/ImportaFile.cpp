#include "ImportaFile.h"

#include "Connessione.h"
#include "FileTesto.h"
#include "RecordFornitura.h"
#include "dmTabelle.h"

namespace {
// However the run ends: the counter of repeated rows is dropped and the
// supply views are reopened, so that nothing read before the run survives it.
struct FineRun {
    TdTabelle& d;
    Avanzamento* a;
    ~FineRun()
    {
        d.terminaNumerazione();
        if (a)
            a->fine();
        try {
            d.applicaFiltroGestione();
        } catch (...) {
        }
    }
};
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
    Transazione tr(db);
    FineRun fine{d, avanzamento};
    d.AzzeraArchivi();
    d.iniziaNumerazione(r.righe);
    if (avanzamento)
        avanzamento->inizio(r.righe);

    testo.riavvolgi();
    QByteArray grezza;
    for (qint64 n = 1; !testo.fine(); ++n) {
        testo.leggiRigaByte(grezza);
        const QString riga = Cp1252::decodifica(grezza);
        const CampiRiga campi(riga);
        d.CodiceRiga = campi(1);
        d.SezioneRiga = campi(2);
        d.ImmobileRiga = campi(3);
        d.ProgressivoRiga = campi(4);
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
    tr.conferma();
    return r;
}
