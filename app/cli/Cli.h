#pragma once
// What the commands of sorvel-cli share: the console streams, the words of
// the standard error box, the program's start-up, progress on stderr.
// Each command lives in a file of its own beside this one.

#include "Avanzamento.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <optional>
#include <utility>

class TdTabelle;

namespace Cli {

QTextStream& err();
QTextStream& out();

// The words of the standard error box: a full stop is added when missing.
QString testoErrore(const QString& testo);

// Start-up as the program does it; its error ends the command.
void avvia(TdTabelle& dati);

// The arguments of a command, checked against what it accepts: options with
// a value ("--nome VALORE" or "--nome=VALORE"), switches ("--force") and
// positional words. A word after an option that begins with "--" is the next
// option, not a value, so "--nome --codice" lacks the name; after "--" alone
// every word is positional. Raises Errore for an unknown option, a missing
// value, a value given to a switch, a word too many (named as unexpected) or
// too few words (the usage line).
class Argomenti {
public:
    struct Opzione {
        QString nome;  // with its dashes: "--nome"
        bool conValore = true;
    };
    Argomenti(const QStringList& arg, const QList<Opzione>& accettate, int minimo, int massimo, const QString& uso);

    const QStringList& posizionali() const { return posizionali_; }
    // The options with a value, in the order given.
    const QList<std::pair<QString, QString>>& valori() const { return valori_; }
    bool ha(QStringView opzione) const;
    // The value last given to `opzione`.
    std::optional<QString> valore(QStringView opzione) const;

private:
    QStringList posizionali_;
    QList<std::pair<QString, QString>> valori_;
    QStringList interruttori_;
};

// A whole number of four bytes (the range of Soggetto, of a surface), or none.
std::optional<qint32> intero32(const QString& testo);
// What a message adds to a number out of that range.
QString gammaIntero32();

// Progress on stderr, a line about every half second.
class AvanzamentoConsole : public Avanzamento {
public:
    explicit AvanzamentoConsole(QString cosa = QStringLiteral("Import")) : cosa_(std::move(cosa)) {}
    void inizio(qint64 righe) override;
    void passo() override;

private:
    QString cosa_;
    qint64 totale_ = 0, fatte_ = 0, ultimo_ = 0;
    QElapsedTimer orologio_;
};

// The commands: each takes the arguments after its name, returns the exit code.
int initDb(const QStringList& arg);
int params(const QStringList& arg);
int importa(const QStringList& arg);
int confronto(const QStringList& arg);
// report owners|dossier ...: the reports as PDF files.
int report(const QStringList& arg);
int verify(const QStringList& arg);
// copia --da INI --a INI [--force]: every table into another database.
int copia(const QStringList& arg);

}  // namespace Cli
