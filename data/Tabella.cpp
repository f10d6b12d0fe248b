#include "Tabella.h"

#include "Collegamento.h"
#include "Errore.h"
#include "Schema.h"

Tabella::Tabella(Collegamento& db, const QString& nome, QObject* parent)
    : DataSet(nome, parent), db_(db), def_(Schema::tabella(nome))
{
    if (!def_)
        throw Errore(QStringLiteral("Tabella %1 sconosciuta").arg(nome));
    definisciCampi(def_->campi);
}

// New rows waiting to be written, in the form they are bound: null, a whole
// number, or UTF-8 in one buffer. They are bound only when a group is full,
// so the buffer no longer moves and the statement need not copy the texts.
struct Tabella::Accumulo {
    static constexpr int righePerComando = 16;
    std::unique_ptr<Comando> multiplo;  // INSERT of righePerComando rows
    struct Valore {
        enum : uint8_t { Nullo, Numero, Testo } tipo;
        qint64 numero;  // a number, or the text's offset in `testi`
        uint32_t lunghezza;
    };
    std::vector<Valore> valori;
    std::string testi;
    int righe = 0;

    void aggiungi(const QList<DefCampo>& campi, const std::vector<ValoreCampo>& riga);
    // Binds `n` rows from row `prima`, from parameter 1 on.
    void lega(Comando& c, int colonne, int prima, int n) const;
    void svuota()
    {
        valori.clear();
        testi.clear();
        righe = 0;
    }
};

namespace {
// A date as the database keeps it, YYYY-MM-DD; a year of other than four
// digits through Qt.
void dataIso(qint64 giornoGiuliano, std::string& out)
{
    const QDate d = QDate::fromJulianDay(giornoGiuliano);
    if (d.year() < 0 || d.year() > 9999) {
        out.append(d.toString(Qt::ISODate).toStdString());
        return;
    }
    const int a = d.year(), m = d.month(), g = d.day();
    const char t[10] = {char('0' + a / 1000), char('0' + a / 100 % 10), char('0' + a / 10 % 10), char('0' + a % 10), '-',
                        char('0' + m / 10),   char('0' + m % 10),        '-',                     char('0' + g / 10),
                        char('0' + g % 10)};
    out.append(t, 10);
}
}  // namespace

void Tabella::Accumulo::aggiungi(const QList<DefCampo>& campi, const std::vector<ValoreCampo>& riga)
{
    for (int i = 0; i < campi.size(); ++i) {
        const ValoreCampo& v = riga[size_t(i)];
        if (v.nullo) {
            valori.push_back({Valore::Nullo, 0, 0});
        } else if (campi[i].testuale() || campi[i].tipo == TipoCampo::Data) {
            const size_t inizio = testi.size();
            if (campi[i].tipo == TipoCampo::Data)
                dataIso(v.numero, testi);
            else
                Utf8::aggiungi(v.testo, testi);
            valori.push_back({Valore::Testo, qint64(inizio), uint32_t(testi.size() - inizio)});
        } else {
            valori.push_back({Valore::Numero, v.numero, 0});
        }
    }
    ++righe;
}

void Tabella::Accumulo::lega(Comando& c, int colonne, int prima, int n) const
{
    const size_t da = size_t(prima) * size_t(colonne);
    for (size_t i = 0; i < size_t(n) * size_t(colonne); ++i) {
        const Valore& v = valori[da + i];
        const int p = int(i) + 1;
        switch (v.tipo) {
        case Valore::Nullo: c.legaNull(p); break;
        case Valore::Numero: c.lega(p, v.numero); break;
        case Valore::Testo: c.legaUtf8(p, std::string_view(testi.data() + v.numero, v.lunghezza)); break;
        }
    }
}

Tabella::~Tabella() = default;

void Tabella::accumula(bool attivo)
{
    if (attivo) {
        if (!accumulo_)
            accumulo_ = std::make_unique<Accumulo>();
        return;
    }
    scriviAccumulate();
    accumulo_.reset();
}

void Tabella::scriviAccumulate()
{
    if (!accumulo_ || accumulo_->righe == 0)
        return;
    Accumulo& a = *accumulo_;
    const int colonne = int(def_->campi.size());
    // rows left over from the last full group go one by one
    int fatte = 0;
    try {
        if (a.righe == Accumulo::righePerComando) {
            a.lega(*a.multiplo, colonne, 0, a.righe);
            a.multiplo->esegui();
            fatte = a.righe;
        }
        for (; fatte < a.righe; ++fatte) {
            a.lega(*inserimento_, colonne, fatte, 1);
            inserimento_->esegui();
        }
    } catch (const Errore& e) {
        a.svuota();
        throw ScritturaNonRiuscita(e.testo());
    }
    a.svuota();
}

void Tabella::scartaAccumulate()
{
    if (accumulo_)
        accumulo_->svuota();
}

void Tabella::verifica()
{
    if (verificata_)
        return;
    Schema::verifica(db_.connessione(), *def_);
    verificata_ = true;
}

void Tabella::carica(Archivio& a)
{
    verifica();
    scriviAccumulate();
    QStringList colonne;
    for (const DefCampo& c : def_->campi)
        colonne << c.nome;
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(colonne.join(QStringLiteral(", ")), def_->nome);
    const Filtro& f = filtroAnalizzato();
    const bool filtroSql = filtrato() && f.campo >= 0;
    if (filtroSql)
        sql += QStringLiteral(" WHERE %1 = ?").arg(def_->campi[f.campo].nome);
    sql += QStringLiteral(" ORDER BY rowid");
    Comando c = db_.connessione().prepara(sql);
    if (filtroSql)
        c.lega(1, f.valore);
    rowid_.clear();
    while (c.passo()) {
        rowid_.push_back(c.intero(0));
        for (size_t i = 0; i < a.colonne.size(); ++i)
            a.colonne[i].aggiungiDaSql(c, int(i) + 1);
    }
}

namespace {
// Binds a row's values from parameter `primo` on. New rows and edited ones
// go through here alike, texts through the statement's one UTF-8 encoder.
void legaValori(Comando& c, const QList<DefCampo>& campi, const std::vector<ValoreCampo>& valori, int primo)
{
    for (int i = 0; i < campi.size(); ++i) {
        const ValoreCampo& v = valori[size_t(i)];
        const int p = primo + i;
        if (v.nullo) {
            c.legaNull(p);
        } else if (campi[i].testuale()) {
            c.legaTesto(p, v.testo);
        } else if (campi[i].tipo == TipoCampo::Data) {
            std::string iso;
            dataIso(v.numero, iso);
            c.legaTesto(p, QString::fromLatin1(iso.data(), qsizetype(iso.size())));
        } else {
            c.lega(p, v.numero);
        }
    }
}
}  // namespace

void Tabella::scrivi(const std::vector<ValoreCampo>& buffer, qint64 riga)
{
    verifica();
    Connessione& cn = db_.connessione();
    // the statements are prepared once, on first use
    auto colonne = [this] {
        QStringList n;
        for (const DefCampo& c : def_->campi)
            n << c.nome;
        return n;
    };
    if (riga < 0) {
        if (!inserimento_) {
            const QStringList segnaposto(def_->campi.size(), QStringLiteral("?"));
            inserimento_ = std::make_unique<Comando>(cn.prepara(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(def_->nome, colonne().join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", ")))));
        }
        if (accumulo_ && !caricato()) {
            Accumulo& a = *accumulo_;
            if (!a.multiplo) {
                const QString gruppo =
                    QStringLiteral("(%1)").arg(QStringList(def_->campi.size(), QStringLiteral("?")).join(QLatin1Char(',')));
                a.multiplo = std::make_unique<Comando>(cn.prepara(
                    QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                        .arg(def_->nome, colonne().join(QStringLiteral(", ")),
                             QStringList(Accumulo::righePerComando, gruppo).join(QLatin1Char(',')))));
            }
            a.aggiungi(def_->campi, buffer);
            if (a.righe == Accumulo::righePerComando)
                scriviAccumulate();
            return;
        }
        scriviAccumulate();
        legaValori(*inserimento_, def_->campi, buffer, 1);
        inserimento_->esegui();
        if (caricato())
            rowid_.push_back(cn.ultimoRowid());
        return;
    }
    scriviAccumulate();
    if (!aggiornamento_)
        aggiornamento_ = std::make_unique<Comando>(cn.prepara(
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(def_->nome, colonne().join(QStringLiteral(" = ?, ")))));
    legaValori(*aggiornamento_, def_->campi, buffer, 1);
    aggiornamento_->lega(int(def_->campi.size()) + 1, rowid_.at(size_t(riga)));
    aggiornamento_->esegui();
}
