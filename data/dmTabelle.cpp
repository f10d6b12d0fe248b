#include "dmTabelle.h"

#include "Errore.h"
#include "FileTesto.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <QFile>

// The numbering during an import. Rows of a unit usually follow each other,
// so each table remembers the last unit it numbered and its last number; for
// another unit one indexed MAX query, prepared once, finds the stored maximum
// (rows stored earlier in the same run included). Memory stays the same
// however large the file.
struct TdTabelle::Numeratore {
    struct Chiave {
        QString codice, sezione;
        qint64 immobile = 0, progressivo = 0;
        bool operator==(const Chiave&) const = default;
    };
    struct PerTabella {
        Comando massimo;
        bool valida = false;
        Chiave ultima;
        int numero = 0;
        // Units of the managing municipality numbered in this run, as bits of
        // a fixed-size filter: a unit whose bit is clear has no stored row
        // (the run deleted them all), so it needs no query; a set bit may be
        // another unit's, and then the query decides.
        std::vector<quint64> visti;
    };
    QString codiceGestione;
    size_t maschera = 0;  // bits of each filter, less one
    size_t bit(const Chiave& k) const { return qHashMulti(0x5EED, k.sezione, k.immobile, k.progressivo) & maschera; }
    bool visto(const PerTabella& t, const Chiave& k) const { const size_t b = bit(k); return t.visti[b >> 6] >> (b & 63) & 1; }
    void segna(PerTabella& t, const Chiave& k) const { const size_t b = bit(k); t.visti[b >> 6] |= quint64(1) << (b & 63); }
    std::map<const DataSet*, PerTabella> tabelle;
    // the number handed to the row being built, counted once it is stored
    PerTabella* inCorso = nullptr;
    Chiave chiaveInCorso;
    int numeroInCorso = 0;
};

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

QString TdTabelle::EstraiCampo(QStringView riga, int n)
{
    qsizetype inizio = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype barra = riga.indexOf(QLatin1Char('|'), inizio);
        if (barra < 0)
            return QStringLiteral("$");
        inizio = barra + 1;
    }
    const qsizetype fine = riga.indexOf(QLatin1Char('|'), inizio);
    if (n < 1 || fine < 0)
        return QStringLiteral("$");
    return riga.mid(inizio, fine - inizio).toString();
}

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

void TdTabelle::iniziaNumerazione(qint64 righe)
{
    numeratore_ = std::make_unique<Numeratore>();
    numeratore_->codiceGestione = codiceGestione();
    // about eight bits a line, from 4 kbit up to 16 Mbit (2 MiB) a table
    size_t bits = size_t(1) << 12;
    while (bits < size_t(std::max<qint64>(righe, 0)) * 8 && bits < (size_t(1) << 24))
        bits <<= 1;
    numeratore_->maschera = bits - 1;
    for (Tabella* t : {&tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6}) {
        numeratore_->tabelle.emplace(
            t, Numeratore::PerTabella{connessione().prepara(
                           QStringLiteral("SELECT MAX(ProgrRec) FROM %1 WHERE Codice = ? AND Sezione = ? "
                                          "AND Immobile = ? AND Progressivo = ?")
                               .arg(t->nome())),
                       false, {}, 0, std::vector<quint64>(bits / 64)});
        t->dopoInserimento = [this](DataSet&) {
            Numeratore& n = *numeratore_;
            // A code or section longer than its column is stored cut, and the
            // query, comparing the whole text, would not find the row again.
            if (n.inCorso && n.chiaveInCorso.codice.size() <= 4 && n.chiaveInCorso.sezione.size() <= 1) {
                n.inCorso->ultima = n.chiaveInCorso;
                n.inCorso->numero = n.numeroInCorso;
                n.inCorso->valida = true;
                if (n.chiaveInCorso.codice == n.codiceGestione)
                    n.segna(*n.inCorso, n.chiaveInCorso);
            }
            n.inCorso = nullptr;
        };
    }
}

void TdTabelle::terminaNumerazione()
{
    for (Tabella* t : {&tUnImm2, &tUnImm4, &tUnImm3, &tUnImm5_6})
        t->dopoInserimento = nullptr;
    numeratore_.reset();
}

void TdTabelle::TableNewRecord(DataSet& tabella)
{
    if (numeratore_) {
        Numeratore& n = *numeratore_;
        const auto immobile = Conversione::intero(ImmobileRiga);
        const auto progressivo = Conversione::intero(ProgressivoRiga);
        if (!immobile || !progressivo)
            // what the numbering query would say of a key that is not a number
            throw Errore(QStringLiteral("Chiave dell'unità non numerica: Immobile '%1', Progressivo '%2'")
                             .arg(ImmobileRiga, ProgressivoRiga));
        n.inCorso = nullptr;
        Numeratore::PerTabella& t = n.tabelle.at(&tabella);
        n.chiaveInCorso = {CodiceRiga, SezioneRiga, *immobile, *progressivo};
        if (t.valida && t.ultima == n.chiaveInCorso) {
            n.numeroInCorso = t.numero + 1;
        } else if (CodiceRiga == n.codiceGestione && !n.visto(t, n.chiaveInCorso)) {
            n.numeroInCorso = 1;
        } else {
            t.massimo.lega(1, QVariant(CodiceRiga));
            t.massimo.lega(2, QVariant(SezioneRiga));
            t.massimo.lega(3, *immobile);
            t.massimo.lega(4, *progressivo);
            t.massimo.passo();
            n.numeroInCorso = int(t.massimo.intero(0)) + 1;  // a null maximum reads as 0
            t.massimo.azzera();
        }
        tabella.impostaValore(4, n.numeroInCorso);  // ProgrRec, fifth column of the four tables
        n.inCorso = &t;
        return;
    }
    tabella.impostaValore(u"ProgrRec", ProssimoProgrRec(tabella.nome(), CodiceRiga, SezioneRiga, ImmobileRiga,
                                                        ProgressivoRiga));
}
