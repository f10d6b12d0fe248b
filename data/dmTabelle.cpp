#include "dmTabelle.h"

#include "CampiRiga.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Numeratore.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

const QString TdTabelle::iniPredefinito =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0; Persist Security Info=False; Data Source=sorvel.mdb");

TdTabelle::TdTabelle(QObject* parent)
    : QObject(parent),
      tUnImm1(ADOConnection1, QStringLiteral("tUnImm1")),
      tUnImm2(ADOConnection1, QStringLiteral("tUnImm2")),
      tUnImm4(ADOConnection1, QStringLiteral("tUnImm4")),
      tUnImm3(ADOConnection1, QStringLiteral("tUnImm3")),
      tUnImm5_6(ADOConnection1, QStringLiteral("tUnImm5_6")),
      tUnImm9(ADOConnection1, QStringLiteral("tUnImm9")),
      qGeneric(ADOConnection1, QStringLiteral("qGeneric")),
      tComuni(ADOConnection1, QStringLiteral("tComuni")),
      tParametri(ADOConnection1, QStringLiteral("tParametri")),
      tRsuTot(ADOConnection1, QStringLiteral("tRsuTot"))
{
    oggetti_ = {&tUnImm1, &tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6, &tUnImm9,
                &qGeneric, &tComuni, &tParametri, &tRsuTot};

    ADOConnection1.primaDiConnettere = [this](Collegamento& c) { c.stringa = StringaConnessione; };

    tUnImm1.aggiungiCampoCalcolato({QStringLiteral("Esito"), TipoCampo::Testo, 50}, [](const RigaDati& r) {
        return QVariant(tUnImm1CalcFields(r.valore(u"EsitoSup")));
    });
    for (Tabella* t : {&tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6})
        t->nuovoRecord = [this](DataSet& ds) { TableNewRecord(ds); };
    tParametri.aggiungiCampoLookup({QStringLiteral("CAP"), TipoCampo::Testo, 5}, QStringLiteral("Codice"), &tComuni,
                                   QStringLiteral("CodiceCat"), QStringLiteral("Cap"));
}

TdTabelle::~TdTabelle() = default;

void TdTabelle::DataModuleCreate()
{
    leggiConfigurazione();
    ADOConnection1.stringa = StringaConnessione;
    tParametri.apri();

    const QString filtro = filtroGestione();
    for (DataSet* ds : oggetti_) {
        auto* t = qobject_cast<Tabella*>(ds);
        if (!t)
            continue;
        if (tabellaFornitura(*t)) {
            t->impostaFiltro(filtro);
            t->impostaFiltrato(true);
        }
        t->apri();
    }
    // The municipality list is read now, as opening a table read its rows: a
    // damaged page stops the start-up here instead of passing later for a
    // municipality that is not in the list.
    tComuni.righe();
}

void TdTabelle::leggiConfigurazione()
{
    Cartella = QStringLiteral(".") + QDir::separator();
    if (!Cartella.endsWith(QDir::separator()))
        Cartella += QDir::separator();

    const QString ini = Cartella + QStringLiteral("sorvel.ini");
    // Only a missing file is replaced by the default one: an existing file
    // that cannot be read holds the office's own connection string, and
    // writing over it would send every later write to another database.
    if (!QFileInfo::exists(ini) && !QFileInfo(ini).isSymLink()) {
        ScriviFileTesto(ini, iniPredefinito + QStringLiteral("\r\n"));
        StringaConnessione = iniPredefinito;
        return;
    }
    QString motivo = MotivoNonFile(ini);
    if (motivo.isEmpty()) {
        QFile prova(ini);
        if (!prova.open(QIODevice::ReadOnly))
            motivo = MotivoErroreFile(prova, false);
    }
    if (!motivo.isEmpty())
        throw Errore(QStringLiteral("Impossibile leggere il file di configurazione \"%1\", lasciato com'è: %2")
                         .arg(QDir::toNativeSeparators(QFileInfo(ini).absoluteFilePath()), motivo));
    LettoreTesto l(ini);
    StringaConnessione = l.leggiRiga();
}

QString TdTabelle::codiceGestione() const
{
    if (!tParametri.aperto())
        return QString();
    return tParametri.testo(u"Codice");
}

QString TdTabelle::filtroGestione() const { return QStringLiteral("Codice = ") + LetteraleSql(codiceGestione()); }

void TdTabelle::applicaFiltroGestione()
{
    const QString filtro = filtroGestione();
    for (DataSet* ds : oggetti_) {
        auto* t = qobject_cast<Tabella*>(ds);
        if (!t || !tabellaFornitura(*t))
            continue;
        t->chiudi();
        t->impostaFiltro(filtro);
        t->impostaFiltrato(true);
        t->apri();
    }
}

int TdTabelle::ProssimoProgrRec(const QString& tabella, const QString& codice, const QString& sezione,
                                const QString& immobile, const QString& progressivo)
{
    // The two numbers go into the text as they stand: anything but a whole
    // number ("7 OR 1") is refused before it can change the statement.
    for (const auto& [campo, valore] : {std::pair{QStringLiteral("Immobile"), immobile},
                                        std::pair{QStringLiteral("Progressivo"), progressivo}})
        if (!Conversione::intero(valore))
            throw Errore(QStringLiteral("Il valore '%1' non è un numero intero valido per il campo %2").arg(valore, campo));
    qGeneric.chiudi();
    qGeneric.sql = {QStringLiteral("SELECT MAX(ProgrRec) AS Codice FROM ") + tabella,
                    QStringLiteral("WHERE Codice = ") + LetteraleSql(codice),
                    QStringLiteral("AND Sezione = ") + LetteraleSql(sezione),
                    QStringLiteral("AND Immobile = ") + immobile,
                    QStringLiteral("AND Progressivo = ") + progressivo};
    qGeneric.apri();
    const qint64 massimo = qGeneric.intero(u"Codice");
    qGeneric.chiudi();
    return int(massimo + 1);
}

void TdTabelle::AzzeraArchivi()
{
    const QString codice = LetteraleSql(codiceGestione());
    for (DataSet* ds : oggetti_) {
        if (!qobject_cast<Tabella*>(ds) || !tabellaFornitura(*ds))
            continue;
        qGeneric.chiudi();
        qGeneric.sql = {QStringLiteral("DELETE FROM ") + ds->nome(), QStringLiteral("WHERE Codice = ") + codice};
        qGeneric.eseguiSql();
    }
}

QString TdTabelle::EstraiCampo(QStringView riga, int n) { return CampiRiga(riga)(n); }

QString TdTabelle::tUnImm1CalcFields(const QVariant& esitoSup)
{
    if (esitoSup.isNull())
        return QString();
    const QString e = esitoSup.toString();
    if (e == QLatin1String("1"))
        return QStringLiteral("Superficie calcolata");
    if (e == QLatin1String("2"))
        return QStringLiteral("Superficie non calcolata");
    if (e == QLatin1String("3"))
        return QStringLiteral("Superficie in corso di definizione");
    if (e == QLatin1String("4"))
        return QStringLiteral("Planimetria non presente negli atti catastali");
    return QString();
}

void TdTabelle::iniziaCaricamento(qint64 righe)
{
    const QList<Tabella*> numerate{&tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6};
    numeratore_ = std::make_unique<Numeratore>(connessione(), codiceGestione(), numerate, righe);
    for (Tabella* t : numerate)
        t->dopoInserimento = [this](DataSet& ds) { numeratore_->registrato(ds); };
    for (Tabella* t : {&tUnImm1, &tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6, &tUnImm9})
        t->accumula(true);
}

void TdTabelle::completaCaricamento()
{
    for (Tabella* t : {&tUnImm1, &tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6, &tUnImm9})
        t->scriviAccumulate();
}

void TdTabelle::terminaCaricamento()
{
    for (Tabella* t : {&tUnImm1, &tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6, &tUnImm9}) {
        t->scartaAccumulate();
        t->accumula(false);
    }
    for (Tabella* t : {&tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6})
        t->dopoInserimento = nullptr;
    numeratore_.reset();
}

void TdTabelle::TableNewRecord(DataSet& tabella)
{
    if (!numeratore_) {
        tabella.impostaValore(u"ProgrRec", ProssimoProgrRec(tabella.nome(), CodiceRiga, SezioneRiga, ImmobileRiga,
                                                            ProgressivoRiga));
        return;
    }
    const auto immobile = Conversione::intero(ImmobileRiga);
    const auto progressivo = Conversione::intero(ProgressivoRiga);
    if (!immobile || !progressivo)
        // what the numbering query would say of a key that is not a number
        throw Errore(QStringLiteral("Chiave dell'unità non numerica: Immobile '%1', Progressivo '%2'")
                         .arg(ImmobileRiga, ProgressivoRiga));
    numeratore_->numera(tabella, CodiceRiga, SezioneRiga, *immobile, *progressivo);
}
