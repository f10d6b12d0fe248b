#include "AnteprimaReport.h"

#include "Errore.h"
#include "Esportatore.h"
#include "Finestre.h"
#include "Messaggi.h"
#include "RegistroEsportatori.h"
#include "StampaReport.h"
#include "VistaPagine.h"
#include "dmImmagini.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const double gradini[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

// The export's page choice, before its file: all pages, the current one, or
// pages written as "1-3,5".
class DialogoPagine : public QDialog {
public:
    DialogoPagine(QWidget* padre, const QString& titolo, int pagine, int corrente) : QDialog(padre)
    {
        setWindowTitle(titolo);
        auto* g = new QGridLayout(this);
        tutte_ = new QRadioButton(QStringLiteral("&Tutte le pagine"), this);
        corrente_ = new QRadioButton(QStringLiteral("Pagina &corrente"), this);
        scelte_ = new QRadioButton(QStringLiteral("&Pagine:"), this);
        testo_ = new QLineEdit(this);
        testo_->setPlaceholderText(QStringLiteral("1-3,5"));
        tutte_->setChecked(true);
        g->addWidget(tutte_, 0, 0, 1, 2);
        g->addWidget(corrente_, 1, 0, 1, 2);
        g->addWidget(scelte_, 2, 0);
        g->addWidget(testo_, 2, 1);
        g->addWidget(new QLabel(QStringLiteral("Numeri di pagina e intervalli separati da virgole, ad esempio 1-3,5"), this),
                     3, 0, 1, 2);
        connect(testo_, &QLineEdit::textEdited, this, [this] { scelte_->setChecked(true); });
        auto* pulsanti = new QDialogButtonBox(this);
        pulsanti->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
        pulsanti->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
        connect(pulsanti, &QDialogButtonBox::accepted, this, [this] {
            if (scelte_->isChecked() && !PagineScelte(testo_->text(), pagine_)) {
                Messaggi::mostra(this, Messaggi::Tipo::Errore,
                                 QStringLiteral("Pagine non valide: scrivere numeri da 1 a %1 e intervalli separati da "
                                                "virgole, ad esempio 1-3,5.")
                                     .arg(pagine_),
                                 QMessageBox::Ok);
                testo_->setFocus();
                return;
            }
            accept();
        });
        connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
        g->addWidget(pulsanti, 4, 0, 1, 2);
        pagine_ = pagine;
        pagina_ = corrente + 1;
    }
    QList<int> scelta() const
    {
        if (corrente_->isChecked())
            return {pagina_};
        if (scelte_->isChecked())
            return PagineScelte(testo_->text(), pagine_).value_or(QList<int>());
        QList<int> p;
        for (int n = 1; n <= pagine_; ++n)
            p.append(n);
        return p;
    }

private:
    QRadioButton *tutte_, *corrente_, *scelte_;
    QLineEdit* testo_;
    int pagine_ = 1, pagina_ = 1;
};

}  // namespace

AnteprimaReport::AnteprimaReport(std::shared_ptr<const ReportPreparato> r, QWidget* parent)
    : QDialog(parent), report_(std::move(r))
{
    setWindowTitle(QStringLiteral("Anteprima di stampa - ") + report_->titolo);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    setModal(true);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    barra = new QToolBar(this);
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    l->addWidget(barra);
    vista = new VistaPagine(this);
    l->addWidget(vista, 1);
    creaAzioni();

    // a good part of the screen, the page at 100 %
    QSize dim(1100, 800);
    if (const QScreen* s = screen()) {
        const QRect a = s->availableGeometry();
        dim = dim.boundedTo(a.size() * 0.9);
    }
    resize(dim);
    Finestre::centraSulloSchermo(this);
    vista->impostaReport(report_);
    connect(vista, &VistaPagine::paginaCambiata, this, &AnteprimaReport::aggiornaStato);
    aggiornaStato();

    dialogoStampa = [this](QPrinter& stampante) {
        QPrintDialog d(&stampante, this);
        d.setWindowTitle(QStringLiteral("Stampa"));
        d.setMinMax(1, report_->numeroPagine());
        d.setOption(QAbstractPrintDialog::PrintPageRange, true);
        d.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
        return d.exec() == QDialog::Accepted;
    };
    chiediFilePdf = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Salva come PDF"), report_->titolo + QStringLiteral(".pdf"),
                                            QStringLiteral("Documento PDF (*.pdf)"));
    };
    chiediEsportazione = [this](const Esportatore& e) -> SceltaEsportazione {
        DialogoPagine d(this, QStringLiteral("Esporta - ") + e.nome(), report_->numeroPagine(), paginaCorrente());
        if (d.exec() != QDialog::Accepted)
            return {};
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta - ") + e.nome(), report_->titolo,
                                                          e.filtroFile());
        if (file.isEmpty())
            return {};
        return {file, d.scelta()};
    };
}

void AnteprimaReport::mostra(QWidget* padre, ReportPreparato r)
{
    AnteprimaReport a(std::make_shared<const ReportPreparato>(std::move(r)), padre);
    a.exec();
}

void AnteprimaReport::creaAzioni()
{
    QStyle* st = style();
    auto azione = [this](const QString& testo, const QString& suggerimento, const QIcon& icona = {},
                         const QKeySequence& tasto = {}) {
        auto* a = new QAction(icona, testo, this);
        a->setToolTip(suggerimento);
        a->setStatusTip(suggerimento);
        if (!tasto.isEmpty())
            a->setShortcut(tasto);
        barra->addAction(a);
        return a;
    };
    Stampa = azione(QStringLiteral("Stampa"), QStringLiteral("Stampa il report"),
                    TdImmagini::immagine(QStringLiteral("08_stampa")), QKeySequence::Print);
    connect(Stampa, &QAction::triggered, this, &AnteprimaReport::stampa);
    SalvaPdf = azione(QStringLiteral("Salva PDF"), QStringLiteral("Salva il report in un file PDF"),
                      st->standardIcon(QStyle::SP_DialogSaveButton), QKeySequence::Save);
    connect(SalvaPdf, &QAction::triggered, this, &AnteprimaReport::salvaPdf);
    const auto esportatori = RegistroEsportatori::elenco();
    if (!esportatori.isEmpty()) {
        Esporta = azione(QStringLiteral("Esporta"), QStringLiteral("Esporta il report"));
        if (esportatori.size() == 1) {
            auto e = esportatori.first();
            Esporta->setToolTip(QStringLiteral("Esporta il report: ") + e->nome());
            connect(Esporta, &QAction::triggered, this, [this, e] { esporta(*e); });
        } else {
            auto* menu = new QMenu(this);
            for (const auto& e : esportatori)
                connect(menu->addAction(e->nome()), &QAction::triggered, this, [this, e] { esporta(*e); });
            Esporta->setMenu(menu);
            connect(Esporta, &QAction::triggered, this, [this, e = esportatori.first()] { esporta(*e); });
        }
    }
    barra->addSeparator();
    ZoomMeno = azione(QStringLiteral("Riduci"), QStringLiteral("Riduci lo zoom"), QIcon(), QKeySequence::ZoomOut);
    Zoom = new QLabel(this);
    Zoom->setMinimumWidth(44);
    Zoom->setAlignment(Qt::AlignCenter);
    barra->addWidget(Zoom);
    ZoomPiu = azione(QStringLiteral("Ingrandisci"), QStringLiteral("Aumenta lo zoom"), QIcon(), QKeySequence::ZoomIn);
    LarghezzaPagina = azione(QStringLiteral("Larghezza"), QStringLiteral("Adatta la pagina alla larghezza della finestra"));
    PaginaIntera = azione(QStringLiteral("Intera"), QStringLiteral("Mostra la pagina intera"));
    connect(ZoomPiu, &QAction::triggered, this, [this] {
        for (double g : gradini)
            if (g > vista->zoom() + 1e-6)
                return zoomA(g);
    });
    connect(ZoomMeno, &QAction::triggered, this, [this] {
        for (auto it = std::rbegin(gradini); it != std::rend(gradini); ++it)
            if (*it < vista->zoom() - 1e-6)
                return zoomA(*it);
    });
    connect(LarghezzaPagina, &QAction::triggered, this, [this] { zoomA(vista->zoomLarghezzaPagina()); });
    connect(PaginaIntera, &QAction::triggered, this, [this] { zoomA(vista->zoomPaginaIntera()); });
    barra->addSeparator();
    PrimaPagina = azione(QStringLiteral("Prima"), QStringLiteral("Prima pagina"), st->standardIcon(QStyle::SP_MediaSkipBackward),
                         QKeySequence(Qt::CTRL | Qt::Key_Home));
    PaginaPrecedente = azione(QStringLiteral("Precedente"), QStringLiteral("Pagina precedente"),
                              st->standardIcon(QStyle::SP_MediaSeekBackward), QKeySequence(Qt::Key_PageUp));
    NumeroPagina = new QSpinBox(this);
    NumeroPagina->setRange(1, std::max(1, report_->numeroPagine()));
    NumeroPagina->setToolTip(QStringLiteral("Numero della pagina"));
    NumeroPagina->setKeyboardTracking(false);
    barra->addWidget(NumeroPagina);
    TotalePagine = new QLabel(QStringLiteral(" di %1 ").arg(report_->numeroPagine()), this);
    barra->addWidget(TotalePagine);
    PaginaSuccessiva = azione(QStringLiteral("Successiva"), QStringLiteral("Pagina successiva"),
                              st->standardIcon(QStyle::SP_MediaSeekForward), QKeySequence(Qt::Key_PageDown));
    UltimaPagina = azione(QStringLiteral("Ultima"), QStringLiteral("Ultima pagina"), st->standardIcon(QStyle::SP_MediaSkipForward),
                          QKeySequence(Qt::CTRL | Qt::Key_End));
    // the navigation buttons show their pictures only; their hints say the rest
    for (QAction* a : {PrimaPagina, PaginaPrecedente, PaginaSuccessiva, UltimaPagina})
        if (auto* b = qobject_cast<QToolButton*>(barra->widgetForAction(a)))
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(PrimaPagina, &QAction::triggered, this, [this] { vista->vaiAPagina(0); });
    connect(PaginaPrecedente, &QAction::triggered, this, [this] { vista->vaiAPagina(paginaCorrente() - 1); });
    connect(PaginaSuccessiva, &QAction::triggered, this, [this] { vista->vaiAPagina(paginaCorrente() + 1); });
    connect(UltimaPagina, &QAction::triggered, this, [this] { vista->vaiAPagina(report_->numeroPagine() - 1); });
    connect(NumeroPagina, &QSpinBox::valueChanged, this, [this](int n) {
        if (n - 1 != paginaCorrente())
            vista->vaiAPagina(n - 1);
    });
    barra->addSeparator();
    TestoRicerca = new QLineEdit(this);
    TestoRicerca->setPlaceholderText(QStringLiteral("Testo da cercare"));
    TestoRicerca->setToolTip(QStringLiteral("Trova testo"));
    TestoRicerca->setClearButtonEnabled(true);
    TestoRicerca->setMaximumWidth(150);
    barra->addWidget(TestoRicerca);
    TrovaSuccessivo = azione(QStringLiteral("Trova"), QStringLiteral("Trova il testo (successivo: F3)"),
                             st->standardIcon(QStyle::SP_FileDialogContentsView), QKeySequence(Qt::Key_F3));
    connect(TrovaSuccessivo, &QAction::triggered, this, [this] {
        if (!TestoRicerca->text().isEmpty() && !trova())
            Messaggi::mostra(this, Messaggi::Tipo::Informazione,
                             QStringLiteral("Testo \"%1\" non trovato").arg(TestoRicerca->text()), QMessageBox::Ok);
    });
    connect(TestoRicerca, &QLineEdit::returnPressed, TrovaSuccessivo, &QAction::trigger);
    connect(TestoRicerca, &QLineEdit::textChanged, this, [this] {
        trovata_ = {};
        vista->evidenzia(-1, {});
    });
    auto* cerca = new QAction(this);
    cerca->setShortcut(QKeySequence::Find);
    connect(cerca, &QAction::triggered, this, [this] {
        TestoRicerca->setFocus();
        TestoRicerca->selectAll();
    });
    addAction(cerca);
    barra->addSeparator();
    Chiudi = azione(QStringLiteral("Chiudi"), QStringLiteral("Chiudi l'anteprima"), st->standardIcon(QStyle::SP_DialogCloseButton));
    connect(Chiudi, &QAction::triggered, this, &QDialog::reject);
}

int AnteprimaReport::paginaCorrente() const { return vista->paginaCorrente(); }

void AnteprimaReport::zoomA(double z)
{
    vista->impostaZoom(z);
    aggiornaStato();
}

void AnteprimaReport::aggiornaStato()
{
    const int p = paginaCorrente();
    const int n = report_->numeroPagine();
    {
        const QSignalBlocker blocco(NumeroPagina);
        NumeroPagina->setValue(p + 1);
    }
    Zoom->setText(QStringLiteral("%1 %").arg(qRound(vista->zoom() * 100)));
    PrimaPagina->setEnabled(p > 0);
    PaginaPrecedente->setEnabled(p > 0);
    PaginaSuccessiva->setEnabled(p + 1 < n);
    UltimaPagina->setEnabled(p + 1 < n);
    ZoomPiu->setEnabled(vista->zoom() < gradini[std::size(gradini) - 1] - 1e-6);
    ZoomMeno->setEnabled(vista->zoom() > gradini[0] + 1e-6);
}

bool AnteprimaReport::trova()
{
    const QString cercato = TestoRicerca->text();
    if (cercato.isEmpty())
        return false;
    const auto& pagine = report_->pagine;
    const int n = int(pagine.size());
    // from just after the last match; at the start, from the current page
    int pagina = trovata_.pagina >= 0 ? trovata_.pagina : std::max(0, paginaCorrente());
    size_t primitiva = trovata_.pagina >= 0 ? size_t(trovata_.primitiva) : 0;
    qsizetype dopo = trovata_.pagina >= 0 ? trovata_.dopo : 0;
    for (int giro = 0; giro <= n; ++giro) {
        const int p = (pagina + giro) % n;
        const auto& prim = pagine[size_t(p)].primitive;
        for (size_t i = giro == 0 ? primitiva : 0; i < prim.size(); ++i) {
            const auto* t = std::get_if<TestoPreparato>(&prim[i]);
            if (!t)
                continue;
            const QString testo = t->stampato();
            const qsizetype da = giro == 0 && i == primitiva ? dopo : 0;
            const qsizetype at = testo.indexOf(cercato, da, Qt::CaseInsensitive);
            if (at < 0)
                continue;
            trovata_ = {p, int(i), int(at + 1)};
            vista->evidenzia(p, t->riquadro);
            aggiornaStato();
            return true;
        }
    }
    return false;
}

void AnteprimaReport::stampa()
{
    QPrinter stampante(QPrinter::HighResolution);  // the default printer, unless the dialog picks another
    stampante.setFromTo(1, report_->numeroPagine());
    if (!dialogoStampa || !dialogoStampa(stampante))
        return;
    int da = 1, a = report_->numeroPagine();
    if (stampante.printRange() == QPrinter::PageRange) {
        da = stampante.fromPage();
        a = stampante.toPage();
    } else if (stampante.printRange() == QPrinter::CurrentPage) {
        da = a = paginaCorrente() + 1;
    }
    try {
        CursoreAttesa attesa;
        StampaReport(*report_, stampante, da, a);
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
}

void AnteprimaReport::salvaPdf()
{
    const QString file = chiediFilePdf ? chiediFilePdf() : QString();
    if (file.isEmpty())
        return;
    try {
        CursoreAttesa attesa;
        ScriviPdf(*report_, file);
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
}

void AnteprimaReport::esporta(Esportatore& e)
{
    const SceltaEsportazione s = chiediEsportazione ? chiediEsportazione(e) : SceltaEsportazione{};
    if (s.file.isEmpty() || s.pagine.isEmpty())
        return;
    QProgressDialog avanzamento(QStringLiteral("Esportazione in corso..."), QStringLiteral("Annulla"), 0,
                                int(s.pagine.size()), this);
    avanzamento.setWindowTitle(e.nome());
    avanzamento.setWindowModality(Qt::WindowModal);
    avanzamento.setMinimumDuration(300);
    try {
        CursoreAttesa attesa;
        e.esporta(*report_, s.file, s.pagine, [&](int fatte, int) {
            avanzamento.setValue(fatte);
            return !avanzamento.wasCanceled();
        });
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}
