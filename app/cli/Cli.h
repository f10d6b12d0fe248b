#pragma once
// What the commands of sorvel-cli share: the console streams, the words of
// the standard error box, the program's start-up, progress on stderr.
// Each command lives in a file of its own beside this one.

#include "ImportaFile.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>

class TdTabelle;

namespace Cli {

QTextStream& err();
QTextStream& out();

// The words of the standard error box: a full stop is added when missing.
QString testoErrore(const QString& testo);

// Start-up as the program does it; its error ends the command.
void avvia(TdTabelle& dati);

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

}  // namespace Cli
