#pragma once
// The expressions of a report's texts: "Pag. [Page#]" is the literal "Pag. "
// followed by the expression Page#. Inside the brackets: column references
// (ds."Col" or <ds."Col">), report variables and system names (Date, Time,
// Page#), string literals in single quotes, numbers, + - * / div mod,
// comparisons (= <> < > <= >=), and or not, parentheses, and the functions
// IIF, Round, YearOf, DateToStr, Trim, UpperCase and SUM(<expr>, Band).
//
// Values are QVariants. Inside an expression an empty number or date reads as
// 0 and an empty text as the empty text; printed, an empty value is nothing.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

// Where an expression finds the values it names.
class AmbitoEspressioni {
public:
    virtual ~AmbitoEspressioni() = default;
    // The current row's value of a column of a report data set.
    virtual QVariant colonna(const QString& dati, const QString& campo) = 0;
    // A variable or a system name (Date, Time, Page#); raises Errore when unknown.
    virtual QVariant nome(const QString& nome) = 0;
    // The running value of a sum registered while compiling.
    virtual QVariant somma(int indice) = 0;
};

class Espressione;
// Called for each SUM(<expr>, Band) met while compiling; returns its index.
using RegistraSomma = std::function<int(const Espressione& argomento, const QString& banda)>;

class Espressione {
public:
    struct Nodo;

    Espressione() = default;
    // Raises Errore quoting the text on a syntax error or an unknown function.
    static Espressione compila(const QString& testo, const RegistraSomma& somme = {});

    bool vuota() const { return !radice_; }
    static Espressione daNodo(std::shared_ptr<const Nodo> n) { return Espressione(std::move(n)); }
    QVariant valuta(AmbitoEspressioni& ambito) const;

private:
    explicit Espressione(std::shared_ptr<const Nodo> n) : radice_(std::move(n)) {}
    std::shared_ptr<const Nodo> radice_;
};

// A text with bracketed expressions, compiled once.
class TestoReport {
public:
    static TestoReport compila(const QString& testo, const RegistraSomma& somme = {});

    struct Risultato {
        QString testo;   // what prints
        QVariant valore; // the value, when the whole text is one expression; else invalid
    };
    Risultato valuta(AmbitoEspressioni& ambito) const;

private:
    struct Parte {
        QString letterale;
        Espressione espressione;  // empty for a literal part
    };
    std::vector<Parte> parti_;
};

namespace Valori {
// What a value prints: nothing when empty, dates as dd/MM/yyyy, whole numbers
// as plain digits with their minus sign, other numbers with a decimal comma.
QString testo(const QVariant& v);
// The value read as a number inside an expression (empty: 0; a date: its day
// number from 30/12/1899, as the report designer counts days).
double numero(const QVariant& v);
bool intero(const QVariant& v);  // whole-number types
bool testuale(const QVariant& v);
bool data(const QVariant& v);
}  // namespace Valori
