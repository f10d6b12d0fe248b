// The embedded engine: SQLite through its C API (SQLiteCpp opens the file), a
// database file opened in WAL mode so that another process may read it while
// this one writes.

#include "Campo.h"
#include "Collazione.h"
#include "Errore.h"
#include "ErroreDatabase.h"
#include "FileTesto.h"
#include "Motore.h"
#include "Schema.h"

#include <QDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

class ComandoSqlite;

// The engine's last error on `db`, in the clerk's words.
ErroreDatabase erroreMotore(sqlite3* db, const QString& file)
{
    return ErroriDatabase::errore(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), file);
}

[[noreturn]] void rilancia(const std::exception& e, const QString& file)
{
    if (const auto* s = dynamic_cast<const SQLite::Exception*>(&e))
        throw ErroriDatabase::errore(s->getExtendedErrorCode(), QString::fromUtf8(s->what()), file);
    throw Errore(TestoEccezione(e));
}

int confrontaNomi(void*, int na, const void* a, int nb, const void* b)
{
    return Collazione::confronta(std::string_view(static_cast<const char*>(a), size_t(na)),
                                 std::string_view(static_cast<const char*>(b), size_t(nb)));
}

struct Db {
    QString file;
    std::unique_ptr<SQLite::Database> db;
    // Statements still alive: finalized before the database closes, so that a
    // query kept by a window can outlive the connection without harm.
    std::unordered_set<ComandoSqlite*> comandi;
    sqlite3* h() const { return db->getHandle(); }
};

// What follows the first statement: blanks, ";" and comments only?
bool soloCommenti(const char* p)
{
    while (*p) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ';') {
            ++p;
        } else if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* f = std::strstr(p + 2, "*/");
            if (!f)
                return true;
            p = f + 2;
        } else {
            return false;
        }
    }
    return true;
}

// Statements use the C API directly: SQLiteCpp does not expose the column
// metadata that types a query's fields, and bulk inserts want the thinnest path.
class ComandoSqlite : public ComandoMotore {
public:
    Db* conn;
    sqlite3* db;
    sqlite3_stmt* h = nullptr;

    ComandoSqlite(Db* c, const QString& sql) : conn(c), db(c->h())
    {
        const QByteArray u = sql.toUtf8();
        const char* coda = nullptr;
        if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &h, &coda) != SQLITE_OK) {
            const ErroreDatabase e = erroreMotore(db, c->file);
            sqlite3_finalize(h);
            throw e;
        }
        // A second statement after the first would silently never run.
        if (coda && !QByteArrayView(coda, u.constData() + u.size() - coda).trimmed().isEmpty() &&
            !soloCommenti(coda)) {
            sqlite3_finalize(h);
            throw Errore(QStringLiteral("Il testo SQL contiene più di un'istruzione: \"%1\"")
                             .arg(QString::fromUtf8(coda).trimmed()));
        }
        if (!h)
            throw Errore(QStringLiteral("Il testo SQL non contiene alcuna istruzione"));
        conn->comandi.insert(this);
    }
    ~ComandoSqlite() override
    {
        if (conn) {
            sqlite3_finalize(h);
            conn->comandi.erase(this);
        }
    }
    void chiusa()
    {
        sqlite3_finalize(h);
        h = nullptr;
        conn = nullptr;
    }
    void verificaAperto() const
    {
        if (!conn)
            throw Errore(QStringLiteral("La connessione al database è chiusa"));
    }

    void legaUtf8(int indice, std::string_view u, bool copia) override
    {
        sqlite3_bind_text(h, indice, u.data(), int(u.size()), copia ? SQLITE_TRANSIENT : SQLITE_STATIC);
    }
    void legaIntero(int indice, qint64 v) override { sqlite3_bind_int64(h, indice, v); }
    void legaReale(int indice, double v) override { sqlite3_bind_double(h, indice, v); }
    void legaNull(int indice) override { sqlite3_bind_null(h, indice); }
    int numeroParametri() const override { return h ? sqlite3_bind_parameter_count(h) : 0; }
    QString nomeParametro(int indice) const override
    {
        const char* n = h ? sqlite3_bind_parameter_name(h, indice) : nullptr;
        return n ? QString::fromUtf8(n) : QString();
    }
    bool valido() const override { return conn; }

    bool passo() override
    {
        verificaAperto();
        const int rc = sqlite3_step(h);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        const ErroreDatabase e = erroreMotore(db, conn->file);
        sqlite3_reset(h);
        throw e;
    }
    void azzera() override
    {
        if (conn)
            sqlite3_reset(h);
    }

    int colonne() const override { return sqlite3_column_count(h); }
    QString nomeColonna(int i) const override { return QString::fromUtf8(sqlite3_column_name(h, i)); }
    QString tabellaOrigine(int i) const override
    {
        const char* t = sqlite3_column_table_name(h, i);
        return t ? QString::fromUtf8(t) : QString();
    }
    QString colonnaOrigine(int i) const override
    {
        const char* t = sqlite3_column_origin_name(h, i);
        return t ? QString::fromUtf8(t) : QString();
    }
    Comando::Tipo tipo(int i) const override
    {
        switch (sqlite3_column_type(h, i)) {
        case SQLITE_INTEGER: return Comando::Tipo::Intero;
        case SQLITE_FLOAT: return Comando::Tipo::Reale;
        case SQLITE_TEXT: return Comando::Tipo::Testo;
        case SQLITE_BLOB: return Comando::Tipo::Blob;
        default: return Comando::Tipo::Nullo;
        }
    }
    qint64 intero(int i) const override { return sqlite3_column_int64(h, i); }
    double reale(int i) const override { return sqlite3_column_double(h, i); }
    std::string_view utf8(int i) const override
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(h, i));
        return p ? std::string_view(p, size_t(sqlite3_column_bytes(h, i))) : std::string_view();
    }
};

// New rows waiting to be written, in the form they are bound: null, a whole
// number, or UTF-8 in one buffer. They are bound only when a group is full,
// so the buffer no longer moves and the statement need not copy the texts.
// SQLite's cost is mostly per statement: sixteen rows go in one INSERT.
class ScritturaSqlite : public ScritturaMassiva {
public:
    static constexpr int righePerComando = 16;

    ScritturaSqlite(Motore& m, const DefTabella& t) : motore_(m), def_(t) {}

    void aggiungi(const std::vector<ValoreCampo>& riga) override
    {
        for (int i = 0; i < def_.campi.size(); ++i) {
            const ValoreCampo& v = riga[size_t(i)];
            const DefCampo& c = def_.campi[i];
            if (v.nullo) {
                valori_.push_back({Valore::Nullo, 0, 0});
            } else if (c.testuale() || c.tipo == TipoCampo::Data) {
                const size_t inizio = testi_.size();
                if (c.tipo == TipoCampo::Data)
                    Conversione::dataIso(v.numero, testi_);
                else
                    Utf8::aggiungi(v.testo, testi_);
                valori_.push_back({Valore::Testo, qint64(inizio), uint32_t(testi_.size() - inizio)});
            } else {
                valori_.push_back({Valore::Numero, v.numero, 0});
            }
        }
        if (++righe_ == righePerComando)
            scrivi();
    }

    void scrivi() override
    {
        if (righe_ == 0)
            return;
        const int colonne = int(def_.campi.size());
        // rows left over from the last full group go one by one
        int fatte = 0;
        try {
            if (righe_ == righePerComando) {
                if (!multiplo_)
                    multiplo_ = motore_.prepara(inserimento(righePerComando));
                lega(*multiplo_, colonne, 0, righe_);
                multiplo_->passo();
                multiplo_->azzera();
                fatte = righe_;
            }
            for (; fatte < righe_; ++fatte) {
                if (!singolo_)
                    singolo_ = motore_.prepara(inserimento(1));
                lega(*singolo_, colonne, fatte, 1);
                singolo_->passo();
                singolo_->azzera();
            }
        } catch (...) {
            scarta();
            throw;
        }
        scarta();
    }

    void scarta() override
    {
        valori_.clear();
        testi_.clear();
        righe_ = 0;
    }
    bool vuota() const override { return righe_ == 0; }

private:
    struct Valore {
        enum : uint8_t { Nullo, Numero, Testo } tipo;
        qint64 numero;  // a number, or the text's offset in `testi_`
        uint32_t lunghezza;
    };

    QString inserimento(int righe) const
    {
        QStringList nomi;
        for (const DefCampo& c : def_.campi)
            nomi << c.nome;
        const QString gruppo =
            QStringLiteral("(%1)").arg(QStringList(def_.campi.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(def_.nome, nomi.join(QStringLiteral(", ")), QStringList(righe, gruppo).join(QLatin1Char(',')));
    }
    // Binds `n` rows from row `prima`, from parameter 1 on.
    void lega(ComandoMotore& c, int colonne, int prima, int n) const
    {
        const size_t da = size_t(prima) * size_t(colonne);
        for (size_t i = 0; i < size_t(n) * size_t(colonne); ++i) {
            const Valore& v = valori_[da + i];
            const int p = int(i) + 1;
            switch (v.tipo) {
            case Valore::Nullo: c.legaNull(p); break;
            case Valore::Numero: c.legaIntero(p, v.numero); break;
            case Valore::Testo: c.legaUtf8(p, std::string_view(testi_.data() + v.numero, v.lunghezza), false); break;
            }
        }
    }

    Motore& motore_;
    const DefTabella& def_;
    std::unique_ptr<ComandoMotore> multiplo_, singolo_;
    std::vector<Valore> valori_;
    std::string testi_;
    int righe_ = 0;
};

class MotoreFile : public Motore {
public:
    MotoreFile(const QString& file, Connessione::Apertura modo, int attesaSecondi)
    {
        d_.file = file;
        if (modo == Connessione::Apertura::Esistente) {
            const QString non = MotivoNonFile(file);
            if (!non.isEmpty())
                throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(file, non));
        }
        // One thread uses a connection: SQLite's own locking would only cost time.
        const int flag = SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX |
                         (modo == Connessione::Apertura::Crea ? SQLite::OPEN_CREATE : 0);
        try {
            d_.db = std::make_unique<SQLite::Database>(file.toStdString(), flag);
            d_.db->setBusyTimeout(std::max(attesaSecondi, 0) * 1000);
            // WAL lets another process read the file while this one writes.
            d_.db->exec("PRAGMA journal_mode=WAL");
            d_.db->exec("PRAGMA synchronous=NORMAL");
            // Large imports and lists walk big indexes: a cache of 64 MiB keeps them in memory.
            d_.db->exec("PRAGMA cache_size=-65536");
            // The order of names, for every ORDER BY on a name.
            sqlite3_create_collation_v2(d_.h(), Collazione::nome, SQLITE_UTF8, nullptr, confrontaNomi, nullptr);
        } catch (const SQLite::Exception& e) {
            const ErroreDatabase err =
                ErroriDatabase::errore(e.getExtendedErrorCode(), QString::fromUtf8(e.what()), file);
            if (err.condizione() != CondizioneDb::Altro)
                throw err;
            throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(file, err.testo()));
        } catch (const std::exception& e) {
            throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(file, TestoEccezione(e)));
        }
    }

    ~MotoreFile() override
    {
        for (ComandoSqlite* c : d_.comandi)
            c->chiusa();
        d_.comandi.clear();
    }

    void esegui(const QString& sql) override
    {
        try {
            d_.db->exec(sql.toStdString());
        } catch (const std::exception& e) {
            rilancia(e, d_.file);
        }
    }
    int righeModificate() const override { return sqlite3_changes(d_.h()); }
    qint64 ultimoRowid() override { return sqlite3_last_insert_rowid(d_.h()); }
    std::unique_ptr<ComandoMotore> prepara(const QString& sql) override
    {
        return std::make_unique<ComandoSqlite>(&d_, Collazione::ordinaNomi(sql));
    }

    bool esisteTabella(const QString& nome) override
    {
        ComandoSqlite c(&d_, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
        const QByteArray u = nome.toUtf8();
        c.legaUtf8(1, std::string_view(u.constData(), size_t(u.size())), true);
        return c.passo();
    }
    QList<Connessione::InfoColonna> colonne(const QString& tabella) override
    {
        ComandoSqlite c(&d_, QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid"));
        const QByteArray u = tabella.toUtf8();
        c.legaUtf8(1, std::string_view(u.constData(), size_t(u.size())), true);
        QList<Connessione::InfoColonna> r;
        auto testo = [&](int i) {
            const std::string_view v = c.utf8(i);
            return QString::fromUtf8(v.data(), qsizetype(v.size()));
        };
        while (c.passo())
            r.append({testo(0), testo(1)});
        return r;
    }

    QString consolidaRegistro() override
    {
        sqlite3* db = d_.h();
        int registro = 0, riportate = 0;
        const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &registro, &riportate);
        if (rc == SQLITE_OK && riportate >= registro)
            return {};
        const QString wal = QDir::toNativeSeparators(d_.file + QStringLiteral("-wal"));
        const QString motivo = rc == SQLITE_OK ? QStringLiteral("il registro è ancora in uso")
                                               : erroreMotore(db, d_.file).testo();
        return QStringLiteral("I dati sono salvati, ma in parte ancora nel registro \"%1\" e non in \"%2\" (%3): una "
                              "copia di sicurezza deve comprendere anche \"%1\"")
            .arg(wal, QDir::toNativeSeparators(d_.file), motivo);
    }

    // IMMEDIATE takes the write lock at once, waiting as long as the busy
    // timeout allows: a deferred transaction could find another writer only at
    // its first write, or fail there on a snapshot grown stale meanwhile.
    void iniziaTransazione() override { esegui(QStringLiteral("BEGIN IMMEDIATE")); }
    void confermaTransazione() override { esegui(QStringLiteral("COMMIT")); }
    void annullaTransazione() override
    {
        if (inTransazione())
            esegui(QStringLiteral("ROLLBACK"));
    }
    bool inTransazione() const override { return sqlite3_get_autocommit(d_.h()) == 0; }

    std::unique_ptr<ScritturaMassiva> scritturaMassiva(const DefTabella& t) override
    {
        return std::make_unique<ScritturaSqlite>(*this, t);
    }

    // Text(n), Fixed(n) and dates are TEXT (dates as YYYY-MM-DD), whole
    // numbers and booleans INTEGER; widths and ranges are the data layer's.
    QString tipoColonna(const DefCampo& c) const override
    {
        return c.testuale() || c.tipo == TipoCampo::Data ? QStringLiteral("TEXT") : QStringLiteral("INTEGER");
    }
    QStringList creaTabella(const DefTabella& t) const override
    {
        QStringList col;
        for (const DefCampo& c : t.campi)
            col << c.nome + QLatin1Char(' ') + tipoColonna(c);
        return {QStringLiteral("CREATE TABLE %1 (%2)").arg(t.nome, col.join(QStringLiteral(", ")))};
    }
    QStringList creaIndice(const DefIndice& i) const override
    {
        QStringList col;
        for (const ColonnaIndice& c : i.colonne)
            col << (c.nomi ? c.nome + QStringLiteral(" COLLATE ") + QLatin1String(Collazione::nome) : c.nome);
        return {QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(i.nome, i.tabella, col.join(QStringLiteral(", ")))};
    }
    QStringList preparaSchema() const override { return {}; }
    QStringList eliminaSchema() const override { return {}; }

private:
    Db d_;
};

}  // namespace

namespace MotoreSqlite {
std::unique_ptr<Motore> apri(const QString& file, Connessione::Apertura modo, int attesaSecondi)
{
    return std::make_unique<MotoreFile>(file, modo, attesaSecondi);
}
}  // namespace MotoreSqlite
