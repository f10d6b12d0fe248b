#include "DossierSoggetto.h"

#include "dmTabelle.h"

namespace {
QStringList dettaglio(const QString& select, const QString& tabella, const QString& from)
{
    return {select,
            QStringLiteral("FROM ") + from,
            QStringLiteral("WHERE %1.Progressivo = :Progressivo").arg(tabella),
            QStringLiteral("AND   %1.Immobile = :Immobile").arg(tabella),
            QStringLiteral("AND   %1.Sezione = :Sezione").arg(tabella),
            QStringLiteral("AND   %1.Codice = :Codice").arg(tabella)};
}
}  // namespace

DossierSoggetto::DossierSoggetto(TdTabelle& d, QObject* parent)
    : QObject(parent),
      ADOQuery4(d.ADOConnection1, QStringLiteral("ADOQuery4")),
      ADOQuery1(d.ADOConnection1, QStringLiteral("ADOQuery1")),
      ADOQuery2(d.ADOConnection1, QStringLiteral("ADOQuery2")),
      ADOQuery3(d.ADOConnection1, QStringLiteral("ADOQuery3")),
      dati_(d)
{
    ADOQuery4.sql = {
        QStringLiteral("SELECT DISTINCT tUnImm1.Codice, tUnImm1.Sezione, tUnImm1.Immobile, tUnImm1.Progressivo, "
                       "tUnImm1.Categoria, tUnImm1.Superficie, tUnImm1.EsitoSup, tUnImm1.Lotto, tUnImm1.Edificio, "
                       "tUnImm1.Scala, tUnImm1.Interno1, tUnImm1.Interno2, tUnImm1.Piano1, tUnImm1.Piano2, "
                       "tUnImm1.Piano3, tUnImm1.Piano4"),
        QStringLiteral("FROM tUnImm1"),
        QStringLiteral("LEFT JOIN tUnImm5_6 ON (tUnImm1.Progressivo = tUnImm5_6.Progressivo) AND (tUnImm1.Immobile = "
                       "tUnImm5_6.Immobile) AND (tUnImm1.Sezione = tUnImm5_6.Sezione) AND (tUnImm1.Codice = "
                       "tUnImm5_6.Codice)"),
        QStringLiteral("WHERE tUnImm5_6.Soggetto = :Soggetto"),
    };
    ADOQuery4.aggiungiCampoCalcolato({QStringLiteral("Esito"), TipoCampo::Testo, 50}, [](const RigaDati& r) {
        return QVariant(TdTabelle::tUnImm1CalcFields(r.valore(u"EsitoSup")));
    });
    ADOQuery1.sql = dettaglio(QStringLiteral("SELECT DISTINCT tUnImm2.SezUrbana, tUnImm2.Foglio, tUnImm2.Numero, "
                                             "tUnImm2.Denominatore, tUnImm2.Subalterno, tUnImm2.Edificialita"),
                              QStringLiteral("tUnImm2"), QStringLiteral("tUnImm2"));
    ADOQuery2.sql = dettaglio(QStringLiteral("SELECT DISTINCT tUnImm3.Toponimo, tUnImm3.Denominazione, tUnImm3.Civico1, "
                                             "tUnImm3.Civico2, tUnImm3.Civico3, tUnImm3.Fonte, tUnImm3.Localita, "
                                             "tUnImm3.KM, tUnImm3.CAP"),
                              QStringLiteral("tUnImm3"), QStringLiteral("tUnImm3"));
    ADOQuery2.aggiungiCampoCalcolato({QStringLiteral("DesFonte"), TipoCampo::Testo, 50},
                                     [](const RigaDati& r) { return QVariant(DesFonte(r.valore(u"Fonte"))); });
    ADOQuery3.sql = dettaglio(QStringLiteral("SELECT tunimm4.Ambiente, tunimm4.SupAmbiente, tunimm4.Altezza, "
                                             "tunimm4.MaxAltezza"),
                              QStringLiteral("tUnImm4"), QStringLiteral("tunimm4"));
    ADOQuery3.aggiungiCampoCalcolato({QStringLiteral("DesAmbiente"), TipoCampo::Testo, 255},
                                     [](const RigaDati& r) { return QVariant(DesAmbiente(r.valore(u"Ambiente"))); });

    // The three detail lists follow the selected unit on its four key columns.
    for (Query* q : {&ADOQuery1, &ADOQuery2, &ADOQuery3})
        q->seguiMaster(ADOQuery4, QStringLiteral("Codice;Sezione;Immobile;Progressivo"));
}

void DossierSoggetto::apri(qint64 soggetto)
{
    ADOQuery4.chiudi();
    ADOQuery4.parametri[QStringLiteral("Soggetto")] = soggetto;
    ADOQuery4.impostaFiltro(dati_.filtroGestione());
    ADOQuery4.impostaFiltrato(true);
    ADOQuery4.apri();  // its row change brings the detail lists along
}

Confronto DossierSoggetto::confronta(qint64 soggetto, qint32 ruolo)
{
    return ConfrontoSuperfici(dati_, dati_.codiceGestione(), soggetto, ruolo);
}

QString DossierSoggetto::DesFonte(const QVariant& fonte)
{
    if (fonte.isNull())
        return QString();
    switch (fonte.toLongLong()) {
    case 1: return QStringLiteral("Riconosciuto nello stradario catastale");
    case 2: return QStringLiteral("Riconosciuto anche su fonti esterne e certificate");
    default: return QString();
    }
}

QString DossierSoggetto::DesAmbiente(const QVariant& ambiente)
{
    static const char* const testi[] = {
        "A) Vani aventi funzione principale e vani accessori a diretto servizio dei principali se non appartenenti alle categoria C1 e C6.",
        "B) Vani accessori a indiretto servizio di quelli principali qualora comunicanti con gli stessi.",
        "C) Vani accessori a indiritto servizio di quelli principali qualora non comunicanti con gli stessi anche attraverso scale.",
        "D) Balconi, terrazzi e simili comunicanti con i vani principali anche attraverso scale.",
        "E) Balconi, terrazzi e simili non comunicanti con i vani principali, pertinenze esclusive della uiu trattata.",
        "F) Aree scoperte, pertinenza esclusive della uiu trattata.",
    };
    const QString a = ambiente.toString();
    if (a.size() == 1 && a[0] >= QLatin1Char('A') && a[0] <= QLatin1Char('F'))
        return QString::fromUtf8(testi[a[0].unicode() - u'A']);
    if (a == QLatin1String("H"))
        return QStringLiteral("H) Vani accessori a diretto servizi di principali per unità appartenenti alle categoria C1 e C6.");
    return QString();
}
