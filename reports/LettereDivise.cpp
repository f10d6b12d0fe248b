#include "LettereDivise.h"

#include "Errore.h"
#include "Esportatore.h"

#include <QDir>

LettereDivise::LettereDivise(const QString& cartella, const std::vector<ReportLettere::Lettera>& lettere, int scrittori)
    : cartella_(cartella), lettere_(lettere)
{
    if (!QDir().mkpath(cartella))
        throw Errore(QStringLiteral("Impossibile creare la cartella \"%1\"").arg(cartella));
    if (scrittori <= 0)
        scrittori = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    massimoInCoda_ = size_t(2 * scrittori);
    for (int i = 0; i < scrittori; ++i)
        scrittori_.emplace_back([this] { lavora(); });
}

LettereDivise::~LettereDivise()
{
    {
        std::lock_guard<std::mutex> l(mutex_);
        coda_.clear();
    }
    fermaScrittori();
}

void LettereDivise::fermaScrittori()
{
    {
        std::lock_guard<std::mutex> l(mutex_);
        fine_ = true;
    }
    daFare_.notify_all();
    for (std::thread& t : scrittori_)
        if (t.joinable())
            t.join();
}

void LettereDivise::lavora()
{
    for (;;) {
        Lavoro lavoro;
        {
            std::unique_lock<std::mutex> l(mutex_);
            daFare_.wait(l, [this] { return fine_ || !coda_.empty(); });
            if (coda_.empty())
                return;  // fine_ and nothing left
            lavoro = std::move(coda_.front());
            coda_.pop_front();
        }
        fatto_.notify_all();
        try {
            ScrittorePdf pdf(lavoro.file);
            for (const PaginaPreparata& p : lavoro.pagine.pagine)
                pdf.pagina(lavoro.pagine, p);
            pdf.chiudi();
        } catch (...) {
            {
                std::lock_guard<std::mutex> l(mutex_);
                if (!errore_)
                    errore_ = std::current_exception();
                coda_.clear();  // the run fails: what is left is not written
            }
            fatto_.notify_all();
        }
    }
}

void LettereDivise::rilanciaErrore()
{
    std::exception_ptr e;
    {
        std::lock_guard<std::mutex> l(mutex_);
        e = errore_;
    }
    if (e)
        std::rethrow_exception(e);
}

void LettereDivise::accoda()
{
    if (!corrente_)
        return;
    rilanciaErrore();
    std::unique_lock<std::mutex> l(mutex_);
    fatto_.wait(l, [this] { return coda_.size() < massimoInCoda_ || errore_; });
    if (!errore_)
        coda_.push_back(std::move(*corrente_));
    l.unlock();
    corrente_.reset();
    daFare_.notify_one();
    rilanciaErrore();
}

void LettereDivise::pagina(const ReportPreparato& r, const PaginaPreparata& p, int numero)
{
    if (prossima_ < lettere_.size() && lettere_[prossima_].pagina == numero) {
        const ReportLettere::Lettera& l = lettere_[prossima_++];
        accoda();
        QString nome = ReportLettere::nomeFile(l.contribuente, l.denominazione);
        const QString base = nome.chopped(4);
        for (int n = 2; nomi_.contains(nome.toLower()); ++n)
            nome = QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
        nomi_.insert(nome.toLower());
        corrente_ = std::make_unique<Lavoro>();
        corrente_->file = QDir(cartella_).filePath(nome);
        corrente_->pagine.titolo = r.titolo;
        corrente_->pagine.larghezza = r.larghezza;
        corrente_->pagine.altezza = r.altezza;
        ++file_;
    }
    if (!corrente_)
        return;
    corrente_->pagine.caratteri = r.caratteri;  // those of its pages, and perhaps some more
    corrente_->pagine.pagine.push_back(p);
}

void LettereDivise::chiudi()
{
    accoda();
    fermaScrittori();
    rilanciaErrore();
}

int LettereDivise::salva(const ReportPreparato& r, const std::vector<ReportLettere::Lettera>& lettere,
                         const QString& cartella)
{
    LettereDivise d(cartella, lettere);
    for (int n = 1; n <= r.numeroPagine(); ++n)
        d.pagina(r, r.pagine[size_t(n - 1)], n);
    d.chiudi();
    return d.file();
}
