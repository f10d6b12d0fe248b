#pragma once
// The error every core operation raises: its text is what the clerk reads in
// the standard error box, so it is written in Italian and names what failed.

#include <QString>
#include <stdexcept>

class Errore : public std::runtime_error {
public:
    explicit Errore(const QString& testo)
        : std::runtime_error(testo.toStdString()), testo_(testo) {}
    const QString& testo() const noexcept { return testo_; }

private:
    QString testo_;
};
