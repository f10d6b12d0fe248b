#pragma once
// Column and field types, and the conversions applied when a value is set
// from text: text cut to its width, whole numbers checked for syntax and
// range, dates read as day/month/year.

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>
#include <string>

enum class TipoCampo { Testo, Fisso, Intero32, Intero16, Byte, Booleano, Data };

struct DefCampo {
    QString nome;
    TipoCampo tipo = TipoCampo::Testo;
    int larghezza = 0;  // texts only

    bool numerico() const;
    bool testuale() const { return tipo == TipoCampo::Testo || tipo == TipoCampo::Fisso; }
};

// A field's value as the data layer holds it, without a QVariant: null, a
// whole number (booleans 0 and 1, dates as Julian day) or a text. A value
// that is set again keeps its text's storage, so a row being built field by
// field costs no allocation.
struct ValoreCampo {
    bool nullo = true;
    qint64 numero = 0;
    QString testo;
};

namespace Conversione {

// The stored value for `testo` assigned to a field of type `c`: null for an
// empty number or date; raises Errore naming the field and quoting the value
// (and `v` is then unchanged).
void daTesto(const DefCampo& c, QStringView testo, ValoreCampo& v);
QVariant daTesto(const DefCampo& c, const QString& testo);

// Normalises a typed value for a field (cuts and pads text, checks ranges).
void normalizza(const DefCampo& c, const QVariant& valore, ValoreCampo& v);
QVariant normalizza(const DefCampo& c, const QVariant& v);
// A whole number for a numeric field, range-checked.
void daNumero(const DefCampo& c, qint64 n, ValoreCampo& v);

// A stored value taken as it is (a row read back for editing).
void daMemorizzato(const DefCampo& c, const QVariant& valore, ValoreCampo& v);
// The value as the rest of the program reads it: a QString, qint64, bool or
// QDate, or a null of that type.
QVariant comeVariant(const DefCampo& c, const ValoreCampo& v);

// A whole number in decimal, optionally preceded by blanks and a sign.
std::optional<qint64> intero(QStringView testo);

// A date written DD/MM/YYYY (two, two and four digits).
std::optional<QDate> data(QStringView testo);

// A date (Julian day) as the database keeps it, YYYY-MM-DD, appended to `out`.
void dataIso(qint64 giornoGiuliano, std::string& out);

// What a grid or a report prints for a value: nothing for null, dates as
// dd/MM/yyyy, whole numbers as plain digits.
QString testoVisualizzato(const DefCampo& c, const QVariant& v);

}  // namespace Conversione

// A text as an SQL string literal: in single quotes, embedded quotes doubled.
QString LetteraleSql(const QString& testo);

namespace Utf8 {
// The one UTF-16 to UTF-8 conversion of the data layer, appended to `out`.
// A surrogate pair is one character of four bytes; a lone half, which no
// text should hold, becomes U+FFFD.
void aggiungi(QStringView s, std::string& out);
}  // namespace Utf8
