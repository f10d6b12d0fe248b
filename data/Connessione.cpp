#include "Connessione.h"

#include "Campo.h"
#include "Collazione.h"
#include "Errore.h"

#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

struct Connessione::Impl {
    std::unique_ptr<SQLite::Database> db;
    // Statements still alive: finalized before the database closes, so that a
    // query kept by a window can outlive the connection without harm.
    std::unordered_set<Comando::Impl*> comandi;
};

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
            const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(h);
            throw Errore(msg);
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
[[noreturn]] void rilancia(const std::exception& e)
{
    throw Errore(QString::fromUtf8(e.what()));
}

int confrontaNomi(void*, int na, const void* a, int nb, const void* b)
{
    return Collazione::confronta(std::string_view(static_cast<const char*>(a), size_t(na)),
                                 std::string_view(static_cast<const char*>(b), size_t(nb)));
}
}  // namespace

Connessione::Connessione(const QString& file, Apertura modo) : file_(file), d_(std::make_unique<Impl>())
{
    if (modo == Apertura::Esistente && !QFileInfo(file).isFile())
        throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": il file non esiste").arg(file));
    // One thread uses a connection: SQLite's own locking would only cost time.
    int flag = SQLite::OPEN_READWRITE | SQLite::OPEN_NOMUTEX | (modo == Apertura::Crea ? SQLite::OPEN_CREATE : 0);
    try {
        d_->db = std::make_unique<SQLite::Database>(file.toStdString(), flag);
        d_->db->setBusyTimeout(5000);
        // WAL lets another process read the file while this one writes.
        d_->db->exec("PRAGMA journal_mode=WAL");
        d_->db->exec("PRAGMA synchronous=NORMAL");
        // Large imports and lists walk big indexes: a cache of 64 MiB keeps them in memory.
        d_->db->exec("PRAGMA cache_size=-65536");
        // The order of names, for every ORDER BY on a name.
        sqlite3_create_collation_v2(d_->db->getHandle(), Collazione::nome, SQLITE_UTF8, nullptr, confrontaNomi, nullptr);
    } catch (const std::exception& e) {
        throw Errore(QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(file, QString::fromUtf8(e.what())));
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
        rilancia(e);
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

void Connessione::iniziaTransazione() { esegui(QStringLiteral("BEGIN")); }
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
    const QString msg = QString::fromUtf8(sqlite3_errmsg(d_->db));
    sqlite3_reset(d_->h);
    throw Errore(msg);
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
