#include "ReportElencoSoggetti.h"

#include "Preparazione.h"

namespace ReportElencoSoggetti {

ModelloReport frxReport1()
{
    ModelloReport m;
    m.nome = QStringLiteral("Elenco soggetti");  // A4 portrait, 10 mm margins: 190 mm wide

    Banda& titolo = m.aggiungi(TipoBanda::TitoloReport, QStringLiteral("ReportTitle1"), 7);
    titolo.elementi.push_back(Elemento::Testo(QStringLiteral("Memo1"), 0, 0, 190, 6, QStringLiteral("Elenco soggetti"))
                                  .conCarattere(12, true)
                                  .allinea(Orizzontale::Centro, Verticale::Centro)
                                  .conSfondo(rgb(0xD8, 0xD8, 0xD8)));

    struct Colonna {
        double sinistra, larghezza;
        const char* intestazione;
        const char* campo;
    };
    static const Colonna colonne[] = {
        {0, 60.15, "Denominazione", "Denominazione"},
        {61.15, 21.59, "Data nascita", "NData"},
        {84.74, 58.00, "Comune di nascita", "NComune"},
        {144.73, 45.24, "Codice Fiscale", "CodFisc"},
    };
    Banda& intestazione = m.aggiungi(TipoBanda::IntestazionePagina, QStringLiteral("PageHeader1"), 6);
    Banda& dati = m.aggiungi(TipoBanda::Dati, QStringLiteral("MasterData1"), 5);
    dati.dati = QStringLiteral("frxDBDataset1");
    int n = 2;
    for (const Colonna& c : colonne) {
        intestazione.elementi.push_back(Elemento::Testo(QStringLiteral("Memo%1").arg(n++), c.sinistra, 0, c.larghezza, 6,
                                                        QString::fromLatin1(c.intestazione))
                                            .conCarattere(10, true)
                                            .conSfondo(rgb(0xF0, 0xF0, 0xF0)));
        dati.elementi.push_back(Elemento::Testo(QStringLiteral("frxDBDataset1%1").arg(QLatin1String(c.campo)), c.sinistra, 0,
                                                c.larghezza, 5,
                                                QStringLiteral("[frxDBDataset1.\"%1\"]").arg(QLatin1String(c.campo))));
    }

    Banda& piede = m.aggiungi(TipoBanda::PiePagina, QStringLiteral("PageFooter1"), 7);
    piede.elementi.push_back(Elemento::Linea(QStringLiteral("Line1"), 0, 0, 190, 0).conSpessore(Misure::pixel(2)));
    piede.elementi.push_back(
        Elemento::Testo(QStringLiteral("Memo6"), 0, Misure::pixel(1), 0, 6, QStringLiteral("[Date] [Time]")).dalTesto());
    piede.elementi.push_back(
        Elemento::Testo(QStringLiteral("Memo7"), 170, Misure::pixel(1), 20, 6, QStringLiteral("Pag. [Page#]"))
            .allinea(Orizzontale::Destra));
    return m;
}

ReportPreparato prepara(DataSet& elenco, const QDateTime& adesso)
{
    DatiReport d;
    d.aggiungi(QStringLiteral("frxDBDataset1"), elenco,
               {QStringLiteral("Soggetto"), QStringLiteral("Denominazione"), QStringLiteral("NData"),
                QStringLiteral("NComune"), QStringLiteral("CodFisc")});
    d.adesso = adesso;
    return PreparaReport(frxReport1(), d);
}

}  // namespace ReportElencoSoggetti
