#pragma once
// The only door to the database engine: the embedded SQLite (a database
// file) or a PostgreSQL server, as the connection string chooses. Nothing
// outside data/ knows which one runs; the engines live behind Motore.h.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Comando;
class ComandoMotore;
class Motore;
class ScritturaMassiva;
struct DefTabella;

// What the connection string says (Collegamento reads it).
struct ParametriConnessione {
    enum class Tipo { File, Server };
    Tipo tipo = Tipo::File;
    QString provider;
    QString file;  // the embedded engine's database file
    // How long a statement waits, in seconds, for another workstation that
    // holds the database (an import being committed) before it gives up.
    int attesa = 60;
    // The server's connection keywords and values, in the server client's
    // own words (host, port, dbname, user, password, ...).
    QList<std::pair<QString, QString>> server;
    QString valoreServer(const QString& parola) const;
    // What messages call the database: the file, or the database on its server.
    QString descrizione() const;
};

class Connessione {
public:
    enum class Apertura { Esistente, Crea };

    static constexpr int attesaPredefinita = 60;

    // Opens the database the parameters name. With Apertura::Esistente a
    // missing database file is an error: the running program never creates
    // a database of its own (on a server, a missing database is an error
    // either way). The engine's errors are raised as ErroreDatabase, in the
    // clerk's words.
    Connessione(const ParametriConnessione& p, Apertura modo);
    // A database file of the embedded engine.
    Connessione(const QString& file, Apertura modo, int attesaSecondi = attesaPredefinita);
    ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    // What messages call the database: the file, or the database on its server.
    const QString& file() const { return file_; }

    // Runs one or more statements that return no rows.
    void esegui(const QString& sql);
    // Rows changed by the last statement.
    int righeModificate() const;
    qint64 ultimoRowid();

    Comando prepara(const QString& sql);

    bool esisteTabella(const QString& nome);
    struct InfoColonna {
        QString nome;
        QString tipo;
    };
    QList<InfoColonna> colonne(const QString& tabella);

    // After a committed import or roll load: folds the write-ahead log back
    // into the database file, so that a copy of that one file is a complete
    // backup. Returns an empty text when done; otherwise, without raising,
    // what the clerk must know: the data is safe, but partly still in the log.
    QString consolidaRegistro();

    // A write transaction: it waits for another writer at its start rather
    // than failing half-way.
    void iniziaTransazione();
    void confermaTransazione();
    void annullaTransazione();
    bool inTransazione() const;

    // For the data layer: a bulk writer of new rows of `t`, and the engine
    // behind this door (the schema's statements).
    std::unique_ptr<ScritturaMassiva> scritturaMassiva(const DefTabella& t);
    Motore& motore() { return *d_; }

private:
    QString file_;
    std::unique_ptr<Motore> d_;
};

// A prepared statement. Values are bound by position (from 1) or by name
// (":Nome"); text is bound as UTF-8, converted by one encoder whatever the
// way it is bound.
class Comando {
public:
    enum class Tipo { Nullo, Intero, Reale, Testo, Blob };

    explicit Comando(std::unique_ptr<ComandoMotore> d);
    Comando(Comando&&) noexcept;
    Comando& operator=(Comando&&) noexcept;
    ~Comando();

    void lega(int indice, const QVariant& valore);
    void lega(int indice, qint64 valore);
    void lega(int indice, std::string_view utf8);
    // Each parameter keeps a buffer of its own for the UTF-8 of its text,
    // reused from one binding to the next: binding a row costs no allocation
    // (the import's hot path).
    void legaTesto(int indice, QStringView testo);
    // UTF-8 that the statement does not copy: the caller keeps it alive and
    // unchanged until the statement has run.
    void legaUtf8(int indice, std::string_view utf8);
    void legaNull(int indice);
    void lega(const QString& nome, const QVariant& valore);
    int numeroParametri() const;
    QString nomeParametro(int indice) const;

    // False once its connection has closed (the statement is then gone).
    bool valido() const;

    // Advances to the next row; false at the end. A statement without rows
    // runs completely on the first call.
    bool passo();
    void azzera();  // ready to run again, bindings kept
    void esegui() { passo(); azzera(); }

    int colonne() const;
    QString nomeColonna(int i) const;
    QString tabellaOrigine(int i) const;
    QString colonnaOrigine(int i) const;
    Tipo tipo(int i) const;
    qint64 intero(int i) const;
    double reale(int i) const;
    std::string_view utf8(int i) const;
    QString testo(int i) const;

private:
    std::unique_ptr<ComandoMotore> d_;
    std::vector<std::string> testi_;  // the UTF-8 bound to each parameter by legaTesto
};

// Rolls back unless confermata() is called: an exception that leaves the scope
// leaves the database as it was.
class Transazione {
public:
    explicit Transazione(Connessione& c) : c_(c) { c_.iniziaTransazione(); }
    ~Transazione() {
        if (!fatta_) {
            try { c_.annullaTransazione(); } catch (...) {}
        }
    }
    void conferma() { c_.confermaTransazione(); fatta_ = true; }

private:
    Connessione& c_;
    bool fatta_ = false;
};
