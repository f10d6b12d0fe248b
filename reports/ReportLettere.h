#pragma once
// The taxpayer letters (frxReport2): the notification of the new reference
// surface (art. 1, comma 340, Legge 311/2004) with the taxpayer's units, the
// surfaces, the signature block and the messenger's receipt. Two uses, each
// with its own letter query and template:
//  - Tutte: one letter per taxpayer of the roll ("Lettere" of the roll
//    verification window), each on pages of its own;
//  - Singola: the letter of one owner ("Lettera" of the dossier).
// A letter's rows are the owner's units, each with the figures of the roll
// row matching the owner's surname, first name and birth date; its units
// bring their first surface and address rows and every identifier row,
// linked on the whole unit key.

#include "Modello.h"
#include "Preparazione.h"
#include "Query.h"
#include "ReportPreparato.h"

#include <QDateTime>
#include <memory>

class TdTabelle;

class ReportLettere {
public:
    enum class Uso { Tutte, Singola };

    ReportLettere(TdTabelle& dati, Uso uso);

    static ModelloReport frxReport2(Uso uso);

    // The letter query and its detail queries (surface, identifiers,
    // addresses), which follow it. Open only while a preparation runs.
    Query AQSoggetto;
    Query tUnImm1, tUnImm2, tUnImm3;

    // Where each letter of the last batch preparation begins.
    struct Lettera {
        int pagina = 0;          // from 1
        QVariant contribuente;   // the roll's taxpayer code
        QString denominazione;
    };
    const std::vector<Lettera>& lettere() const { return lettere_; }

    // Tutte: every taxpayer of the roll with a positive greater assessable
    // surface who is an owner of the managing municipality.
    ReportPreparato prepara(const QDateTime& adesso = QDateTime::currentDateTime());
    // The same page by page; returns the number of pages.
    int prepara(const ConsegnaPagina& consegna, const QDateTime& adesso = QDateTime::currentDateTime());
    // Singola: the letter of owner `soggetto` of the managing municipality
    // (the dossier's owner), found in the roll by name and birth date.
    ReportPreparato preparaSingola(qint64 soggetto, const QDateTime& adesso = QDateTime::currentDateTime());

    // frxReport2GetValue: "Logo" is logo.bmp of the working directory, when
    // the file exists; nothing else is answered.
    static std::optional<QVariant> frxReport2GetValue(const QString& nome);

    // The file name of a letter for digital notification:
    // "<taxpayer code>-<name>.pdf", characters that a file name cannot hold
    // replaced by "_".
    static QString nomeFile(const QVariant& contribuente, const QString& denominazione);

private:
    ModelloReport modello();
    DatiReport dati(const QDateTime& adesso);

    TdTabelle& dati_;
    Uso uso_;
    std::vector<Lettera> lettere_;
};
