#pragma once
// Column and field types, and the conversions applied when a value is set
// from text: text cut to its width, whole numbers checked for syntax and
// range, dates read as day/month/year.

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

enum class TipoCampo { Testo, Fisso, Intero32, Intero16, Byte, Booleano, Data };

struct DefCampo {
    QString nome;
    TipoCampo tipo = TipoCampo::Testo;
    int larghezza = 0;  // texts only

    bool numerico() const;
    bool testuale() const { return tipo == TipoCampo::Testo || tipo == TipoCampo::Fisso; }
    // The declared type the column has in the database file.
    QString tipoSql() const { return testuale() || tipo == TipoCampo::Data ? QStringLiteral("TEXT") : QStringLiteral("INTEGER"); }
};

namespace Conversione {

// The stored value for `testo` assigned to a field of type `c`: null for an
// empty number or date; raises Errore naming the field and quoting the value.
QVariant daTesto(const DefCampo& c, const QString& testo);

// Normalises a typed value for a field (cuts and pads text, checks ranges).
QVariant normalizza(const DefCampo& c, const QVariant& v);

// A whole number in decimal, optionally preceded by blanks and a sign.
std::optional<qint64> intero(QStringView testo);

// A date written DD/MM/YYYY (two, two and four digits).
std::optional<QDate> data(QStringView testo);

// What a grid or a report prints for a value: nothing for null, dates as
// dd/MM/yyyy, whole numbers as plain digits.
QString testoVisualizzato(const DefCampo& c, const QVariant& v);

}  // namespace Conversione

// A text as an SQL string literal: in single quotes, embedded quotes doubled.
QString LetteraleSql(const QString& testo);
