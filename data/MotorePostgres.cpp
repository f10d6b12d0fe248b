// The server engine: PostgreSQL through libpq, for an office whose clerks
// share one database from several workstations.
//
// Tables keep the columns of the schema in their order, with these types:
// Text(n) and Fixed(n) character varying(n) in the "C" collation (texts
// compare and sort by their characters, as on the embedded engine; Fixed
// values are stored padded by the data layer), Int32 integer, Int16 smallint,
// Byte and Boolean smallint within 0-255 and 0-1, DateTime date. A last
// column, rowid, numbers the rows in the order they were stored (an identity):
// the embedded engine's rowid, which table objects use to read rows in that
// order and to find a row again for an update. A "SELECT *" does not show it.
//
// Statements are prepared on the server with untyped parameters, which the
// server types from their place in the statement; values travel as text.

#include "Campo.h"
#include "Collazione.h"
#include "DialettoPostgres.h"
#include "Errore.h"
#include "ErroreDatabase.h"
#include "Motore.h"
#include "Schema.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

class ComandoPg;

// The advisory lock every write transaction takes: one import, roll load or
// database creation at a time, as the embedded engine's write lock does.
constexpr const char* chiaveScrittura = "91738126837100";  // "Sorvel" in ASCII

QString testoPg(const char* s) { return QString::fromUtf8(s ? s : "").simplified(); }

struct Relazione {
    QString nome;
    std::map<int, QString> colonne;  // by attribute number
};

struct Pg {
    PGconn* c = nullptr;
    QString descrizione;
    int attesa = 60;
    int generazione = 0;  // grows when the connection is made again: prepared statements are gone
    int righe = 0;
    bool transazione = false;
    bool copiaInCorso = false;  // a COPY sent, its result not yet read
    quint64 prossimoNome = 0;
    std::unordered_set<ComandoPg*> comandi;
    std::unordered_map<Oid, Relazione> relazioni;
    QStringList daRilasciare;  // prepared statements no longer used

    ~Pg()
    {
        if (c)
            PQfinish(c);
    }

    bool persa() const { return PQstatus(c) != CONNECTION_OK; }

    ErroreDatabase errore(const PGresult* r) const
    {
        if (persa())
            return ErroriDatabase::erroreServer(CondizioneDb::ConnessionePersa, testoPg(PQerrorMessage(c)), descrizione);
        const QString stato = r ? QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
        const QString testo = r ? testoPg(PQresultErrorMessage(r)) : testoPg(PQerrorMessage(c));
        return ErroriDatabase::erroreServer(ErroriDatabase::condizioneServer(stato), testo, descrizione);
    }

    // The result of the COPY sent last. The server stores those rows while
    // the program reads and converts the next ones; the result is read
    // before anything else runs on the connection, and a failure surfaces
    // there.
    void attendiCopia()
    {
        if (!copiaInCorso)
            return;
        copiaInCorso = false;
        PGresult* r = PQgetResult(c);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const ErroreDatabase e = ok ? ErroreDatabase(CondizioneDb::Altro, {}) : errore(r);
        PQclear(r);
        while ((r = PQgetResult(c)))
            PQclear(r);
        if (!ok)
            throw e;
    }
    // The same, when the work is being abandoned anyway.
    void scartaCopia()
    {
        if (!copiaInCorso)
            return;
        copiaInCorso = false;
        while (PGresult* r = PQgetResult(c))
            PQclear(r);
    }

    // Before a statement: a connection lost outside a transaction is made
    // again (the server may have been restarted); inside one the work is lost.
    void assicura()
    {
        attendiCopia();
        if (!persa())
            return;
        if (transazione)
            throw ErroriDatabase::erroreServer(CondizioneDb::ConnessionePersa, testoPg(PQerrorMessage(c)), descrizione);
        PQreset(c);
        if (persa())
            throw ErroriDatabase::erroreServer(CondizioneDb::ServerNonRaggiungibile, testoPg(PQerrorMessage(c)),
                                               descrizione);
        ++generazione;
        daRilasciare.clear();
        relazioni.clear();
    }

    // A statement whose result is checked and dropped.
    void esegui(const QString& sql)
    {
        assicura();
        PGresult* r = PQexec(c, sql.toUtf8().constData());
        const ExecStatusType st = PQresultStatus(r);
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            const ErroreDatabase e = errore(r);
            PQclear(r);
            throw e;
        }
        const char* n = PQcmdTuples(r);
        if (n && *n)
            righe = std::atoi(n);
        PQclear(r);
    }

    // One value of a one-row query with text parameters.
    QString valore(const char* sql, std::initializer_list<QByteArray> parametri)
    {
        assicura();
        std::vector<const char*> p;
        for (const QByteArray& b : parametri)
            p.push_back(b.constData());
        PGresult* r = PQexecParams(c, sql, int(p.size()), nullptr, p.data(), nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            const ErroreDatabase e = errore(r);
            PQclear(r);
            throw e;
        }
        const QString v = PQntuples(r) > 0 && !PQgetisnull(r, 0, 0) ? QString::fromUtf8(PQgetvalue(r, 0, 0)) : QString();
        PQclear(r);
        return v;
    }

    const Relazione& relazione(Oid oid)
    {
        auto it = relazioni.find(oid);
        if (it != relazioni.end())
            return it->second;
        attendiCopia();
        Relazione rel;
        const QByteArray o = QByteArray::number(oid);
        const char* p[] = {o.constData()};
        PGresult* r = PQexecParams(c,
                                   "SELECT c.relname, a.attnum, a.attname FROM pg_class c JOIN pg_attribute a ON "
                                   "a.attrelid = c.oid WHERE c.oid = $1::oid AND a.attnum > 0",
                                   1, nullptr, p, nullptr, nullptr, 0);
        if (PQresultStatus(r) == PGRES_TUPLES_OK)
            for (int i = 0; i < PQntuples(r); ++i) {
                rel.nome = QString::fromUtf8(PQgetvalue(r, i, 0));
                rel.colonne[std::atoi(PQgetvalue(r, i, 1))] = QString::fromUtf8(PQgetvalue(r, i, 2));
            }
        PQclear(r);
        // the schema's spelling, when the table is one of ours
        if (const DefTabella* t = Schema::tabella(rel.nome)) {
            rel.nome = t->nome;
            for (auto& [n, col] : rel.colonne) {
                const int k = t->indice(col);
                if (k >= 0)
                    col = t->campi[k].nome;
            }
        }
        return relazioni.emplace(oid, std::move(rel)).first->second;
    }

    void rilascia(const QString& nome)
    {
        daRilasciare << nome;
        if (daRilasciare.size() < 32 || copiaInCorso || persa() || PQtransactionStatus(c) == PQTRANS_INERROR)
            return;
        QString sql;
        for (const QString& n : std::as_const(daRilasciare))
            sql += QStringLiteral("DEALLOCATE %1;").arg(n);
        daRilasciare.clear();
        PQclear(PQexec(c, sql.toUtf8().constData()));
    }
};

class ComandoPg : public ComandoMotore {
public:
    ComandoPg(Pg* pg, const QString& sql) : pg_(pg), tr_(DialettoPostgres::traduci(sql))
    {
        valori_.resize(size_t(tr_.parametri.size()));
        nulli_.assign(valori_.size(), true);
        prepara();
        pg_->comandi.insert(this);
    }
    ~ComandoPg() override
    {
        azzera();
        PQclear(descrizione_);
        if (pg_) {
            pg_->comandi.erase(this);
            if (generazione_ == pg_->generazione)
                pg_->rilascia(QString::fromLatin1(nome_));
        }
    }
    void chiusa()
    {
        azzera();
        pg_ = nullptr;
    }

    void legaUtf8(int i, std::string_view u, bool) override
    {
        if (auto* v = valore(i)) {
            v->assign(u.data(), u.size());
            nulli_[size_t(i - 1)] = false;
        }
    }
    void legaIntero(int i, qint64 n) override
    {
        char b[24];
        const auto r = std::to_chars(b, b + sizeof b, n);
        legaUtf8(i, std::string_view(b, size_t(r.ptr - b)), true);
    }
    void legaReale(int i, double d) override
    {
        char b[32];
        const auto r = std::to_chars(b, b + sizeof b, d);
        legaUtf8(i, std::string_view(b, size_t(r.ptr - b)), true);
    }
    void legaNull(int i) override
    {
        if (valore(i))
            nulli_[size_t(i - 1)] = true;
    }
    int numeroParametri() const override { return int(tr_.parametri.size()); }
    QString nomeParametro(int i) const override { return tr_.parametri.value(i - 1); }
    bool valido() const override { return pg_; }

    bool passo() override
    {
        if (!pg_)
            throw Errore(QStringLiteral("La connessione al database è chiusa"));
        if (!r_) {
            pg_->assicura();
            if (generazione_ != pg_->generazione)
                prepara();
            std::vector<const char*> p(valori_.size());
            for (size_t i = 0; i < p.size(); ++i)
                p[i] = nulli_[i] ? nullptr : valori_[i].c_str();
            r_ = PQexecPrepared(pg_->c, nome_.constData(), int(p.size()), p.data(), nullptr, nullptr, 0);
            const ExecStatusType st = PQresultStatus(r_);
            if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) {
                const ErroreDatabase e = pg_->errore(r_);
                azzera();
                throw e;
            }
            if (st == PGRES_COMMAND_OK) {
                const char* n = PQcmdTuples(r_);
                if (n && *n)
                    pg_->righe = std::atoi(n);
            }
            visibili(r_);
            riga_ = -1;
        }
        ++riga_;
        return riga_ < PQntuples(r_);
    }
    void azzera() override
    {
        PQclear(r_);
        r_ = nullptr;
        riga_ = -1;
    }

    int colonne() const override
    {
        risultato();
        return int(visibili_.size());
    }
    QString nomeColonna(int i) const override
    {
        const PGresult* r = risultato();
        const QString n = QString::fromUtf8(PQfname(r, visibili_[size_t(i)]));
        const auto it = tr_.nomi.constFind(n);
        if (it != tr_.nomi.constEnd())
            return *it;
        const QString origine = colonnaOrigine(i);
        return origine.compare(n, Qt::CaseInsensitive) == 0 ? origine : n;
    }
    QString tabellaOrigine(int i) const override
    {
        const PGresult* r = risultato();
        const Oid t = PQftable(r, visibili_[size_t(i)]);
        return t == InvalidOid || !pg_ ? QString() : pg_->relazione(t).nome;
    }
    QString colonnaOrigine(int i) const override
    {
        const PGresult* r = risultato();
        const int f = visibili_[size_t(i)];
        const Oid t = PQftable(r, f);
        if (t == InvalidOid || !pg_)
            return {};
        const Relazione& rel = pg_->relazione(t);
        const auto it = rel.colonne.find(PQftablecol(r, f));
        return it == rel.colonne.end() ? QString() : it->second;
    }
    Comando::Tipo tipo(int i) const override
    {
        const int f = visibili_[size_t(i)];
        if (PQgetisnull(r_, riga_, f))
            return Comando::Tipo::Nullo;
        switch (PQftype(r_, f)) {
        case 16:  // bool
        case 20:  // int8
        case 21:  // int2
        case 23:  // int4
        case 26:  // oid
            return Comando::Tipo::Intero;
        case 700:  // float4
        case 701:  // float8
            return Comando::Tipo::Reale;
        case 1700:  // numeric: a whole number (a SUM of bigints) is an integer
            return std::strpbrk(PQgetvalue(r_, riga_, f), ".eEN") ? Comando::Tipo::Reale : Comando::Tipo::Intero;
        case 17:  // bytea
            return Comando::Tipo::Blob;
        default:
            return Comando::Tipo::Testo;
        }
    }
    qint64 intero(int i) const override
    {
        const int f = visibili_[size_t(i)];
        if (PQgetisnull(r_, riga_, f))
            return 0;
        const char* v = PQgetvalue(r_, riga_, f);
        if (PQftype(r_, f) == 16)
            return *v == 't';
        if (std::strpbrk(v, ".eE"))
            return qint64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double reale(int i) const override
    {
        const int f = visibili_[size_t(i)];
        return PQgetisnull(r_, riga_, f) ? 0.0 : std::strtod(PQgetvalue(r_, riga_, f), nullptr);
    }
    std::string_view utf8(int i) const override
    {
        const int f = visibili_[size_t(i)];
        if (PQgetisnull(r_, riga_, f))
            return {};
        if (PQftype(r_, f) == 16)  // booleans read as the embedded engine's 1 and 0
            return *PQgetvalue(r_, riga_, f) == 't' ? std::string_view("1") : std::string_view("0");
        return std::string_view(PQgetvalue(r_, riga_, f), size_t(PQgetlength(r_, riga_, f)));
    }

private:
    std::string* valore(int i)
    {
        return i >= 1 && size_t(i) <= valori_.size() ? &valori_[size_t(i - 1)] : nullptr;
    }

    void prepara()
    {
        pg_->assicura();
        nome_ = QByteArray("sorvel_") + QByteArray::number(++pg_->prossimoNome);
        PGresult* r = PQprepare(pg_->c, nome_.constData(), tr_.testo.toUtf8().constData(), 0, nullptr);
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            const ErroreDatabase e = pg_->errore(r);
            PQclear(r);
            throw e;
        }
        PQclear(r);
        generazione_ = pg_->generazione;
        PQclear(descrizione_);
        descrizione_ = nullptr;
    }

    // The result whose columns are asked: the last run, or else the
    // description of the prepared statement.
    const PGresult* risultato() const
    {
        if (r_)
            return r_;
        if (!descrizione_ && pg_) {
            pg_->attendiCopia();
            descrizione_ = PQdescribePrepared(pg_->c, nome_.constData());
            if (PQresultStatus(descrizione_) != PGRES_COMMAND_OK) {
                const ErroreDatabase e = pg_->errore(descrizione_);
                PQclear(descrizione_);
                descrizione_ = nullptr;
                throw e;
            }
            visibili(descrizione_);
        }
        if (!descrizione_)
            throw Errore(QStringLiteral("La connessione al database è chiusa"));
        return descrizione_;
    }

    // The columns the program sees: not the keys added for the order of
    // names, nor rowid where the text does not ask for it.
    void visibili(const PGresult* r) const
    {
        visibili_.clear();
        const int n = PQnfields(r) - tr_.colonneNascoste;
        for (int f = 0; f < n; ++f)
            if (tr_.citaRowid || std::strcmp(PQfname(r, f), "rowid") != 0)
                visibili_.push_back(f);
    }

    Pg* pg_;
    DialettoPostgres::Traduzione tr_;
    QByteArray nome_;
    int generazione_ = -1;
    std::vector<std::string> valori_;
    std::vector<bool> nulli_;
    PGresult* r_ = nullptr;
    int riga_ = -1;
    mutable PGresult* descrizione_ = nullptr;
    mutable std::vector<int> visibili_;
};

// New rows streamed with COPY: gathered as COPY's text (a tab between
// values, \N for null, backslash escapes) and sent when a megabyte is ready,
// or when asked. One connection carries one COPY at a time; its result is
// read when the connection is next used, so the server stores one batch
// while the program prepares the next.
class ScritturaPg : public ScritturaMassiva {
public:
    static constexpr size_t soglia = size_t(1) << 20;

    ScritturaPg(Pg& pg, const DefTabella& t) : pg_(pg), def_(t)
    {
        QStringList nomi;
        for (const DefCampo& c : t.campi)
            nomi << c.nome;
        copia_ = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(t.nome, nomi.join(QStringLiteral(", "))).toUtf8();
        dati_.reserve(soglia + 4096);
    }

    void aggiungi(const std::vector<ValoreCampo>& riga) override
    {
        for (int i = 0; i < def_.campi.size(); ++i) {
            if (i > 0)
                dati_.push_back('\t');
            const ValoreCampo& v = riga[size_t(i)];
            const DefCampo& c = def_.campi[i];
            if (v.nullo) {
                dati_.append("\\N");
            } else if (c.testuale()) {
                testo(v.testo);
            } else if (c.tipo == TipoCampo::Data) {
                Conversione::dataIso(v.numero, dati_);
            } else {
                char b[24];
                const auto r = std::to_chars(b, b + sizeof b, v.numero);
                dati_.append(b, size_t(r.ptr - b));
            }
        }
        dati_.push_back('\n');
        if (dati_.size() >= soglia)
            scrivi();
    }

    void scrivi() override
    {
        if (dati_.empty())
            return;
        struct Svuota {
            std::string& d;
            ~Svuota() { d.clear(); }
        } svuota{dati_};
        pg_.assicura();
        PGresult* r = PQexec(pg_.c, copia_.constData());
        if (PQresultStatus(r) != PGRES_COPY_IN) {
            const ErroreDatabase e = pg_.errore(r);
            PQclear(r);
            throw e;
        }
        PQclear(r);
        const bool inviato = PQputCopyData(pg_.c, dati_.data(), int(dati_.size())) == 1;
        PQputCopyEnd(pg_.c, inviato ? nullptr : "invio non riuscito");
        pg_.copiaInCorso = true;
    }

    void scarta() override { dati_.clear(); }
    bool vuota() const override { return dati_.empty(); }

private:
    void testo(const QString& t)
    {
        bool speciali = false;
        for (QChar ch : t)
            if (ch == QLatin1Char('\\') || ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
                speciali = true;
                break;
            }
        if (!speciali) {
            Utf8::aggiungi(t, dati_);
            return;
        }
        std::string u;
        Utf8::aggiungi(t, u);
        for (char ch : u) {
            switch (ch) {
            case '\\': dati_.append("\\\\"); break;
            case '\t': dati_.append("\\t"); break;
            case '\n': dati_.append("\\n"); break;
            case '\r': dati_.append("\\r"); break;
            default: dati_.push_back(ch);
            }
        }
    }

    Pg& pg_;
    const DefTabella& def_;
    QByteArray copia_;
    std::string dati_;
};

class MotoreServer : public Motore {
public:
    MotoreServer(PGconn* c, const QString& descrizione, int attesa)
    {
        d_.c = c;
        d_.descrizione = descrizione;
        d_.attesa = attesa;
    }
    ~MotoreServer() override
    {
        d_.scartaCopia();
        for (ComandoPg* c : d_.comandi)
            c->chiusa();
        d_.comandi.clear();
    }

    void esegui(const QString& sql) override { d_.esegui(DialettoPostgres::traduci(sql).testo); }
    int righeModificate() const override { return d_.righe; }
    qint64 ultimoRowid() override { return d_.valore("SELECT lastval()", {}).toLongLong(); }
    std::unique_ptr<ComandoMotore> prepara(const QString& sql) override
    {
        return std::make_unique<ComandoPg>(&d_, Collazione::ordinaNomi(sql));
    }

    bool esisteTabella(const QString& nome) override
    {
        return !d_.valore("SELECT to_regclass($1)::text", {nome.toUtf8()}).isEmpty();
    }
    QList<Connessione::InfoColonna> colonne(const QString& tabella) override
    {
        d_.assicura();
        const QByteArray t = tabella.toUtf8();
        const char* p[] = {t.constData()};
        PGresult* r = PQexecParams(d_.c,
                                   "SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute WHERE "
                                   "attrelid = to_regclass($1) AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
                                   1, nullptr, p, nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            const ErroreDatabase e = d_.errore(r);
            PQclear(r);
            throw e;
        }
        QList<Connessione::InfoColonna> c;
        for (int i = 0; i < PQntuples(r); ++i)
            c.append({QString::fromUtf8(PQgetvalue(r, i, 0)), QString::fromUtf8(PQgetvalue(r, i, 1))});
        PQclear(r);
        return c;
    }
    // The server keeps its own log: a committed load is whole in the database.
    QString consolidaRegistro() override { return {}; }

    // A write transaction waits, as long as Busy Timeout allows, for another
    // workstation's import or roll load to end: the advisory lock keeps them
    // from interleaving; readers never wait, and see the data as it was until
    // the commit.
    void iniziaTransazione() override
    {
        d_.esegui(QStringLiteral("BEGIN"));
        d_.transazione = true;
        try {
            if (d_.attesa == 0) {
                const QByteArray prova = QByteArray("SELECT pg_try_advisory_xact_lock(") + chiaveScrittura + ')';
                if (d_.valore(prova.constData(), {}) != QLatin1String("t"))
                    throw ErroriDatabase::erroreServer(CondizioneDb::InUso,
                                                       QStringLiteral("scrittura in corso da un'altra postazione"),
                                                       d_.descrizione);
            } else {
                d_.esegui(QStringLiteral("SET LOCAL lock_timeout = %1").arg(qint64(d_.attesa) * 1000));
                d_.esegui(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(QLatin1String(chiaveScrittura)));
            }
        } catch (...) {
            annullaTransazione();
            throw;
        }
    }
    void confermaTransazione() override
    {
        d_.attendiCopia();
        if (!d_.persa() && PQtransactionStatus(d_.c) == PQTRANS_INERROR)
            throw ErroriDatabase::erroreServer(CondizioneDb::Altro,
                                               QStringLiteral("La transazione è stata annullata dal server"),
                                               d_.descrizione);
        d_.esegui(QStringLiteral("COMMIT"));
        d_.transazione = false;
    }
    void annullaTransazione() override
    {
        if (!d_.transazione)
            return;
        d_.transazione = false;
        d_.scartaCopia();
        if (!d_.persa())
            PQclear(PQexec(d_.c, "ROLLBACK"));
    }
    bool inTransazione() const override
    {
        if (d_.transazione)
            return true;
        const PGTransactionStatusType s = PQtransactionStatus(d_.c);
        return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
    }

    std::unique_ptr<ScritturaMassiva> scritturaMassiva(const DefTabella& t) override
    {
        return std::make_unique<ScritturaPg>(d_, t);
    }

    QString tipoColonna(const DefCampo& c) const override
    {
        switch (c.tipo) {
        case TipoCampo::Testo:
        case TipoCampo::Fisso: return QStringLiteral("character varying(%1)").arg(c.larghezza);
        case TipoCampo::Intero32: return QStringLiteral("integer");
        case TipoCampo::Data: return QStringLiteral("date");
        default: return QStringLiteral("smallint");
        }
    }
    QStringList creaTabella(const DefTabella& t) const override
    {
        QStringList col;
        for (const DefCampo& c : t.campi) {
            QString d = c.nome + QLatin1Char(' ') + tipoColonna(c);
            if (c.testuale())
                d += QStringLiteral(" COLLATE \"C\"");
            else if (c.tipo == TipoCampo::Byte)
                d += QStringLiteral(" CHECK (%1 BETWEEN 0 AND 255)").arg(c.nome);
            else if (c.tipo == TipoCampo::Booleano)
                d += QStringLiteral(" CHECK (%1 IN (0, 1))").arg(c.nome);
            col << d;
        }
        col << QStringLiteral("rowid bigint GENERATED ALWAYS AS IDENTITY");
        return {QStringLiteral("CREATE TABLE %1 (%2)").arg(t.nome, col.join(QStringLiteral(", ")))};
    }
    QStringList creaIndice(const DefIndice& i) const override
    {
        // nulls first, as the queries order them
        QStringList col;
        for (const ColonnaIndice& c : i.colonne) {
            if (c.nomi)
                col << QStringLiteral("%1(%2) NULLS FIRST").arg(QLatin1String(DialettoPostgres::funzioneNomi), c.nome);
            col << c.nome + QStringLiteral(" NULLS FIRST");
        }
        return {QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(i.nome, i.tabella, col.join(QStringLiteral(", ")))};
    }
    QStringList preparaSchema() const override { return {DialettoPostgres::creaFunzioneNomi()}; }
    QStringList eliminaSchema() const override
    {
        return {QStringLiteral("DROP FUNCTION IF EXISTS %1(text)").arg(QLatin1String(DialettoPostgres::funzioneNomi))};
    }

private:
    Pg d_;
};

// The keywords the client library knows.
bool parolaNota(const QString& parola)
{
    static const QStringList note = [] {
        QStringList n;
        PQconninfoOption* o = PQconndefaults();
        for (PQconninfoOption* p = o; p && p->keyword; ++p)
            n << QString::fromLatin1(p->keyword);
        PQconninfoFree(o);
        return n;
    }();
    return note.contains(parola);
}

CondizioneDb condizioneConnessione(PGconn* c)
{
    if (PQconnectionNeedsPassword(c))
        return CondizioneDb::AccessoNegato;
    const QString m = QString::fromUtf8(PQerrorMessage(c));
    if (m.contains(QLatin1String("database \"")) && m.contains(QLatin1String("does not exist")))
        return CondizioneDb::DatabaseMancante;
    if (m.contains(QLatin1String("authentication failed")) || m.contains(QLatin1String("role \"")) ||
        m.contains(QLatin1String("pg_hba.conf")) || m.contains(QLatin1String("password")))
        return CondizioneDb::AccessoNegato;
    return CondizioneDb::ServerNonRaggiungibile;
}

}  // namespace

namespace MotorePostgres {

QString descrizione(const ParametriConnessione& p)
{
    QString host = p.valoreServer(QStringLiteral("host"));
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        host = QStringLiteral("localhost");
    QString porta = p.valoreServer(QStringLiteral("port"));
    if (porta.isEmpty())
        porta = QStringLiteral("5432");
    return QStringLiteral("\"%1\" sul server %2:%3").arg(p.valoreServer(QStringLiteral("dbname")), host, porta);
}

std::unique_ptr<Motore> apri(const ParametriConnessione& p, const QString& nomeDb)
{
    ParametriConnessione q = p;
    if (!nomeDb.isEmpty())
        for (auto& [k, v] : q.server)
            if (k == QLatin1String("dbname"))
                v = nomeDb;
    const QString desc = descrizione(q);
    std::vector<QByteArray> parole, valori;
    QString opzioni;
    for (const auto& [k, v] : q.server) {
        if (!parolaNota(k))
            throw Errore(QStringLiteral("Impossibile connettersi al database %1: la chiave \"%2\" della stringa di "
                                        "connessione non è nota al server PostgreSQL")
                             .arg(desc, k));
        if (k == QLatin1String("options")) {
            opzioni = v;
            continue;
        }
        if (k == QLatin1String("client_encoding"))
            continue;  // texts travel as UTF-8
        parole.push_back(k.toUtf8());
        valori.push_back(v.toUtf8());
    }
    // Never a hang: a server that does not answer is an error within ten
    // seconds, and one that disappears during the work is noticed by the
    // network's keep-alives.
    const std::pair<const char*, const char*> predefiniti[] = {
        {"connect_timeout", "10"}, {"application_name", "Sorvel"}, {"keepalives", "1"},
        {"keepalives_idle", "30"}, {"keepalives_interval", "10"},  {"keepalives_count", "3"},
    };
    for (const auto& [k, v] : predefiniti)
        if (std::find(parole.begin(), parole.end(), QByteArray(k)) == parole.end()) {
            parole.emplace_back(k);
            valori.emplace_back(v);
        }
    parole.emplace_back("client_encoding");
    valori.emplace_back("UTF8");
    // dates as YYYY-MM-DD whatever the server's settings
    parole.emplace_back("options");
    valori.push_back((QStringLiteral("-c datestyle=ISO,YMD -c intervalstyle=postgres ") + opzioni).toUtf8());
    std::vector<const char*> k, v;
    for (size_t i = 0; i < parole.size(); ++i) {
        k.push_back(parole[i].constData());
        v.push_back(valori[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    PGconn* c = PQconnectdbParams(k.data(), v.data(), 0);
    if (!c)
        throw ErroriDatabase::erroreServer(CondizioneDb::Memoria, QString(), desc);
    // the server's notices ("does not exist, skipping") are no business of the clerk
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    if (PQstatus(c) != CONNECTION_OK) {
        const ErroreDatabase e = ErroriDatabase::erroreServer(condizioneConnessione(c), testoPg(PQerrorMessage(c)), desc);
        PQfinish(c);
        throw e;
    }
    return std::make_unique<MotoreServer>(c, desc, p.attesa);
}

}  // namespace MotorePostgres
