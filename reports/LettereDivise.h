#pragma once
// One PDF file per letter, for digital notification (PEC): the pages of the
// batch letters, as they arrive from a preparation page by page or from a
// prepared report, go into a file of their own for each letter, named
// "<taxpayer code>-<name>.pdf" (ReportLettere::nomeFile); two letters of the
// same name get " (2)", " (3)"...
//
// Each new PDF file embeds its fonts again, which costs more than drawing a
// letter; the files are therefore written by a few writer threads while the
// caller goes on preparing. Each file is written whole by one thread;
// chiudi() waits for them all.

#include "ReportLettere.h"

#include <QSet>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class LettereDivise {
public:
    // Raises Errore when the folder does not exist and cannot be made.
    // `lettere`, which a batch preparation fills as it goes, must outlive
    // this. `scrittori`: the writer threads; 0 for one per processor, four
    // at most.
    LettereDivise(const QString& cartella, const std::vector<ReportLettere::Lettera>& lettere, int scrittori = 0);
    // Without chiudi(): the files not yet written are given up.
    ~LettereDivise();
    LettereDivise(const LettereDivise&) = delete;
    LettereDivise& operator=(const LettereDivise&) = delete;

    // A page: one that begins a letter starts its file. Pages before the
    // first letter (an empty batch) belong to none. Raises the error of a
    // file that could not be written.
    void pagina(const ReportPreparato& r, const PaginaPreparata& p, int numero);
    // Waits until every file is written; raises Errore for the first that
    // could not be.
    void chiudi();
    int file() const { return file_; }

    // Every letter of a prepared report; returns the files written.
    static int salva(const ReportPreparato& r, const std::vector<ReportLettere::Lettera>& lettere,
                     const QString& cartella);

private:
    struct Lavoro {
        QString file;
        ReportPreparato pagine;  // the letter's pages, its fonts and page size
    };
    void accoda();
    void lavora();
    void fermaScrittori();
    void rilanciaErrore();

    QString cartella_;
    const std::vector<ReportLettere::Lettera>& lettere_;
    size_t prossima_ = 0;  // the next letter to begin
    std::unique_ptr<Lavoro> corrente_;
    QSet<QString> nomi_;
    int file_ = 0;

    std::vector<std::thread> scrittori_;
    std::mutex mutex_;
    std::condition_variable daFare_, fatto_;
    std::deque<Lavoro> coda_;
    size_t massimoInCoda_ = 8;
    bool fine_ = false;
    std::exception_ptr errore_;
};
