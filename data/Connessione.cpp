#include "Connessione.h"

#include "Campo.h"
#include "Collazione.h"
#include "Errore.h"
#include "ErroreDatabase.h"
#include "FileTesto.h"

#include <QDir>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

struct Connessione::Impl {
    QString file;
    std::unique_ptr<SQLite::Database> db;
    // Statements still alive: finalized before the database closes, so that a
    // query kept by a window can outlive the connection without harm.
    std::unordered_set<Comando::Impl*> comandi;
};

namespace {
// The engine's last error on `db`, in the clerk's words.
ErroreDatabase erroreMotore(sqlite3* db, const QString& file)
{
    return ErroriDatabase::errore(sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), file);
}
}  // namespace

// Statements use the C API directly: SQLiteCpp does not expose the column
// metadata that types a query's fields, and bulk inserts want the thinnest path.
struct Comando::Impl {
    Connessione::Impl* conn;
    sqlite3* db;
    sqlite3_stmt* h = nullptr;
    std::vector<std::string> testi;  // the UTF-8 bound to each parameter by legaTesto
    Impl(Connessione::Impl* c, const QString& sql) : conn(c), db(c->db->getHandle())
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
        testi.resize(size_t(sqlite3_bind_parameter_count(h)));
        conn->comandi.insert(this);
    }
    ~Impl()
    {
        if (conn) {
            sqlite3_finalize(h);
            conn->comandi.erase(this);
        }
    }
    void verificaAperto() const
    {
        if (!conn)
            throw Errore(QStringLiteral("La connessione al database è chiusa"));
    }
    // What follows the first statement: blanks, ";" and comments only?
    static bool soloCommenti(const char* p)
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
};

namespace {
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
}  // namespace

Connessione::Connessione(const QString& file, Apertura modo, int attesaSecondi)
    : file_(file), d_(std::make_unique<Impl>())
{
    d_->file = file;
    if (modo == Apertura::Esistente) {
        const QString non = MotivoNonFile(file);
        if (!non.isEmpty())
            throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(file, non));
    }
    // One thread uses a connection: SQLite's own locking would only cost time.
    int flag = SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX | (modo == Apertura::Crea ? SQLite::OPEN_CREATE : 0);
    try {
        d_->db = std::make_unique<SQLite::Database>(file.toStdString(), flag);
        d_->db->setBusyTimeout(std::max(attesaSecondi, 0) * 1000);
        // WAL lets another process read the file while this one writes.
        d_->db->exec("PRAGMA journal_mode=WAL");
        d_->db->exec("PRAGMA synchronous=NORMAL");
        // Large imports and lists walk big indexes: a cache of 64 MiB keeps them in memory.
        d_->db->exec("PRAGMA cache_size=-65536");
        // The order of names, for every ORDER BY on a name.
        sqlite3_create_collation_v2(d_->db->getHandle(), Collazione::nome, SQLITE_UTF8, nullptr, confrontaNomi, nullptr);
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

Connessione::~Connessione()
{
    for (Comando::Impl* c : d_->comandi) {
        sqlite3_finalize(c->h);
        c->h = nullptr;
        c->conn = nullptr;
    }
    d_->comandi.clear();
}

void Connessione::esegui(const QString& sql)
{
    try {
        d_->db->exec(sql.toStdString());
    } catch (const std::exception& e) {
        rilancia(e, file_);
    }
}

int Connessione::righeModificate() const { return sqlite3_changes(d_->db->getHandle()); }
qint64 Connessione::ultimoRowid() const { return sqlite3_last_insert_rowid(d_->db->getHandle()); }

Comando Connessione::prepara(const QString& sql)
{
    return Comando(std::make_unique<Comando::Impl>(d_.get(), Collazione::ordinaNomi(sql)));
}

bool Connessione::esisteTabella(const QString& nome)
{
    Comando c = prepara(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    c.lega(1, QVariant(nome));
    return c.passo();
}

QList<Connessione::InfoColonna> Connessione::colonne(const QString& tabella)
{
    Comando c = prepara(QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid"));
    c.lega(1, QVariant(tabella));
    QList<InfoColonna> r;
    while (c.passo())
        r.append({c.testo(0), c.testo(1)});
    return r;
}

QString Connessione::consolidaRegistro()
{
    sqlite3* db = d_->db->getHandle();
    int registro = 0, riportate = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &registro, &riportate);
    if (rc == SQLITE_OK && riportate >= registro)
        return {};
    const QString wal = QDir::toNativeSeparators(file_ + QStringLiteral("-wal"));
    const QString motivo = rc == SQLITE_OK ? QStringLiteral("il registro è ancora in uso")
                                           : erroreMotore(db, file_).testo();
    return QStringLiteral("I dati sono salvati, ma in parte ancora nel registro \"%1\" e non in \"%2\" (%3): una "
                          "copia di sicurezza deve comprendere anche \"%1\"")
        .arg(wal, QDir::toNativeSeparators(file_), motivo);
}

// IMMEDIATE takes the write lock at once, waiting as long as the busy
// timeout allows: a deferred transaction could find another writer only at
// its first write, or fail there on a snapshot grown stale meanwhile.
void Connessione::iniziaTransazione() { esegui(QStringLiteral("BEGIN IMMEDIATE")); }
void Connessione::confermaTransazione() { esegui(QStringLiteral("COMMIT")); }
void Connessione::annullaTransazione()
{
    if (inTransazione())
        esegui(QStringLiteral("ROLLBACK"));
}
bool Connessione::inTransazione() const { return sqlite3_get_autocommit(d_->db->getHandle()) == 0; }

Comando::Comando(std::unique_ptr<Impl> d) : d_(std::move(d)) {}
Comando::Comando(Comando&&) noexcept = default;
Comando& Comando::operator=(Comando&&) noexcept = default;
Comando::~Comando() = default;

void Comando::lega(int indice, const QVariant& v)
{
    if (v.isNull() || !v.isValid()) {
        legaNull(indice);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::Bool:
        lega(indice, v.toLongLong());
        return;
    case QMetaType::Double:
        sqlite3_bind_double(d_->h, indice, v.toDouble());
        return;
    case QMetaType::QDate:
        legaTesto(indice, v.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QString:
        legaTesto(indice, *static_cast<const QString*>(v.constData()));
        return;
    default:
        legaTesto(indice, v.toString());
    }
}

void Comando::legaTesto(int indice, QStringView testo)
{
    if (indice < 1 || size_t(indice) > d_->testi.size())
        return;  // no such parameter: ignored, as SQLite ignores every binding out of range
    std::string& u = d_->testi[size_t(indice - 1)];
    u.clear();
    Utf8::aggiungi(testo, u);
    sqlite3_bind_text(d_->h, indice, u.data(), int(u.size()), SQLITE_STATIC);
}

void Comando::lega(int indice, qint64 valore) { sqlite3_bind_int64(d_->h, indice, valore); }
void Comando::lega(int indice, std::string_view u)
{
    sqlite3_bind_text(d_->h, indice, u.data(), int(u.size()), SQLITE_TRANSIENT);
}
void Comando::legaUtf8(int indice, std::string_view u)
{
    sqlite3_bind_text(d_->h, indice, u.data(), int(u.size()), SQLITE_STATIC);
}
void Comando::legaNull(int indice) { sqlite3_bind_null(d_->h, indice); }

void Comando::lega(const QString& nome, const QVariant& valore)
{
    const int i = sqlite3_bind_parameter_index(d_->h, nome.toUtf8().constData());
    if (i == 0)
        throw Errore(QStringLiteral("Parametro %1 non trovato").arg(nome));
    lega(i, valore);
}

int Comando::numeroParametri() const { return sqlite3_bind_parameter_count(d_->h); }
QString Comando::nomeParametro(int indice) const
{
    const char* n = sqlite3_bind_parameter_name(d_->h, indice);
    return n ? QString::fromUtf8(n) : QString();
}

bool Comando::valido() const { return d_ && d_->conn; }

bool Comando::passo()
{
    d_->verificaAperto();
    const int rc = sqlite3_step(d_->h);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const ErroreDatabase e = erroreMotore(d_->db, d_->conn->file);
    sqlite3_reset(d_->h);
    throw e;
}

void Comando::azzera()
{
    if (d_->conn)
        sqlite3_reset(d_->h);
}

int Comando::colonne() const { return sqlite3_column_count(d_->h); }
QString Comando::nomeColonna(int i) const { return QString::fromUtf8(sqlite3_column_name(d_->h, i)); }
QString Comando::tabellaOrigine(int i) const
{
    const char* t = sqlite3_column_table_name(d_->h, i);
    return t ? QString::fromUtf8(t) : QString();
}
QString Comando::colonnaOrigine(int i) const
{
    const char* t = sqlite3_column_origin_name(d_->h, i);
    return t ? QString::fromUtf8(t) : QString();
}
Comando::Tipo Comando::tipo(int i) const
{
    switch (sqlite3_column_type(d_->h, i)) {
    case SQLITE_INTEGER: return Tipo::Intero;
    case SQLITE_FLOAT: return Tipo::Reale;
    case SQLITE_TEXT: return Tipo::Testo;
    case SQLITE_BLOB: return Tipo::Blob;
    default: return Tipo::Nullo;
    }
}
qint64 Comando::intero(int i) const { return sqlite3_column_int64(d_->h, i); }
double Comando::reale(int i) const { return sqlite3_column_double(d_->h, i); }
std::string_view Comando::utf8(int i) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(d_->h, i));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(d_->h, i))) : std::string_view();
}
QString Comando::testo(int i) const
{
    const std::string_view u = utf8(i);
    return QString::fromUtf8(u.data(), qsizetype(u.size()));
}
