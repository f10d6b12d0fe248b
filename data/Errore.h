#pragma once
// The error every core operation raises: its text is what the clerk reads in
// the standard error box, so it is written in Italian and names what failed.

#include <QString>
#include <exception>
#include <stdexcept>

class Errore : public std::runtime_error {
public:
    explicit Errore(const QString& testo)
        : std::runtime_error(testo.toStdString()), testo_(testo) {}
    const QString& testo() const noexcept { return testo_; }

private:
    QString testo_;
};

// The text of any exception as the clerk reads it: an Errore's own text; a
// shortage of memory in Italian, the run-time's words after it; anything else
// in the run-time's words.
QString TestoEccezione(const std::exception& e);
// The same for the exception being handled (inside a catch block).
QString TestoEccezioneCorrente();

// An error raised while reading line `riga` of a file (an import, a roll
// load): "Riga N: " before the text of the exception being handled.
Errore ErroreRiga(qint64 riga);
