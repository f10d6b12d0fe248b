#pragma once
// What a database engine offers the data layer: one connection and its
// prepared statements. Connessione and Comando are the program's door; the
// embedded SQLite (MotoreSqlite) and the PostgreSQL server (MotorePostgres)
// stand behind it. Only data/ includes this header.

#include "Campo.h"
#include "Connessione.h"

#include <memory>
#include <string_view>

struct DefIndice;
struct DefTabella;

class ComandoMotore {
public:
    virtual ~ComandoMotore() = default;

    // `copia`: the statement keeps its own copy of the text; otherwise the
    // caller keeps it alive and unchanged until the statement has run.
    virtual void legaUtf8(int indice, std::string_view utf8, bool copia) = 0;
    virtual void legaIntero(int indice, qint64 valore) = 0;
    virtual void legaReale(int indice, double valore) = 0;
    virtual void legaNull(int indice) = 0;
    virtual int numeroParametri() const = 0;
    virtual QString nomeParametro(int indice) const = 0;  // ":Nome"; empty for "?"
    virtual bool valido() const = 0;

    virtual bool passo() = 0;
    virtual void azzera() = 0;

    virtual int colonne() const = 0;
    virtual QString nomeColonna(int i) const = 0;
    virtual QString tabellaOrigine(int i) const = 0;
    virtual QString colonnaOrigine(int i) const = 0;
    virtual Comando::Tipo tipo(int i) const = 0;
    virtual qint64 intero(int i) const = 0;
    virtual double reale(int i) const = 0;
    virtual std::string_view utf8(int i) const = 0;
};

// New rows of one table gathered and written many at a time: a bulk load.
// Rows come as the table's columns in order; the engine writes them when its
// buffer fills and when asked. A failure of a write loses the rows it held.
class ScritturaMassiva {
public:
    virtual ~ScritturaMassiva() = default;
    virtual void aggiungi(const std::vector<ValoreCampo>& riga) = 0;
    virtual void scrivi() = 0;
    virtual void scarta() = 0;
    virtual bool vuota() const = 0;
};

class Motore {
public:
    virtual ~Motore() = default;

    virtual void esegui(const QString& sql) = 0;
    virtual int righeModificate() const = 0;
    virtual qint64 ultimoRowid() = 0;
    virtual std::unique_ptr<ComandoMotore> prepara(const QString& sql) = 0;

    virtual bool esisteTabella(const QString& nome) = 0;
    virtual QList<Connessione::InfoColonna> colonne(const QString& tabella) = 0;
    virtual QString consolidaRegistro() = 0;

    virtual void iniziaTransazione() = 0;
    virtual void confermaTransazione() = 0;
    virtual void annullaTransazione() = 0;
    virtual bool inTransazione() const = 0;

    virtual std::unique_ptr<ScritturaMassiva> scritturaMassiva(const DefTabella& t) = 0;

    // The schema: the declared type of a column, and the statements that
    // create a table, an index, and whatever the engine needs before them.
    virtual QString tipoColonna(const DefCampo& c) const = 0;
    virtual QStringList creaTabella(const DefTabella& t) const = 0;
    virtual QStringList creaIndice(const DefIndice& i) const = 0;
    virtual QStringList preparaSchema() const = 0;
    virtual QStringList eliminaSchema() const = 0;
};

namespace MotoreSqlite {
std::unique_ptr<Motore> apri(const QString& file, Connessione::Apertura modo, int attesaSecondi);
}

namespace MotorePostgres {
// `nomeDb` overrides the database named by the parameters (a maintenance
// connection). Raises ErroreDatabase with the clerk's words for a server
// that cannot be reached, a refused login or a missing database.
std::unique_ptr<Motore> apri(const ParametriConnessione& p, const QString& nomeDb = {});
// What messages call the database: its name and the server.
QString descrizione(const ParametriConnessione& p);
}
