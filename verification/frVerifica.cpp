#include "frVerifica.h"

#include "AnteprimaReport.h"
#include "BarraAvanzamento.h"
#include "CaricaRuolo.h"
#include "Errore.h"
#include "EsportatoreXlsx.h"
#include "Finestre.h"
#include "Messaggi.h"
#include "Percorsi.h"
#include "PulsanteFigura.h"
#include "RegistroEsportatori.h"
#include "LettereDivise.h"
#include "ReportLettere.h"
#include "ReportTabulato.h"

#include <QAction>
#include <QFileDialog>
#include <QProgressBar>
#include <QToolBar>
#include <QShowEvent>
#include <QStyle>

static void caricaFigure() { Q_INIT_RESOURCE(immagini_verifica); }

namespace {
constexpr int larghezza = 514;
constexpr int altezza = 109;
constexpr int altezzaBarra = 16;
}  // namespace

TfVerifica::TfVerifica(TdTabelle& dati, Query& elenco, QWidget* parent)
    : QDialog(parent),
      dati_(dati),
      elenco_(elenco),
      frxReport1_(std::make_unique<ReportTabulato>(dati)),
      frxReport2_(std::make_unique<ReportLettere>(dati, ReportLettere::Uso::Tutte))
{
    // the only export of the program, offered by every preview from now on
    RegistroEsportatori::registra(std::make_shared<EsportatoreXlsx>());
    chiediCartellaLettere = [](QWidget* padre) {
        return QFileDialog::getExistingDirectory(padre, QStringLiteral("Salva una lettera per contribuente"));
    };
    caricaFigure();
    setObjectName(QStringLiteral("fVerifica"));
    setWindowTitle(QStringLiteral("Tabulato di controllo dati metrici"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    Finestre::caratterePredefinito(this);
    setFixedSize(larghezza, altezza);
    disponi();
}

void TfVerifica::disponi()
{
    auto pulsante = [this](const char* nome, const QString& testo, const QString& suggerimento, int x) {
        auto* b = new PulsanteFigura(testo, this);
        b->setObjectName(QLatin1String(nome));
        b->setGeometry(x, 24, 97, 49);
        b->setToolTip(suggerimento);
        return b;
    };
    auto figure = [](PulsanteFigura* b, const char* nome) {
        const QString base = QStringLiteral(":/verifica/") + QLatin1String(nome);
        b->impostaFigure(base + QStringLiteral(".png"), base + QStringLiteral("_dis.png"),
                         base + QStringLiteral("_pre.png"));
    };
    BitBtn1 = pulsante("BitBtn1", QStringLiteral("Importa"),
                       QStringLiteral("Importa file per il confronto con i dati catastali"), 16);
    figure(BitBtn1, "importa");
    BitBtn2 = pulsante("BitBtn2", QStringLiteral("Stampa"),
                       QStringLiteral("Stampa risultato del confronto con i dati catastali"), 120);
    figure(BitBtn2, "stampa");
    BitBtn4 = pulsante("BitBtn4", QStringLiteral("Lettere"), QStringLiteral("Stampa lettere di comunicazione"), 224);
    figure(BitBtn4, "lettere");
    BitBtn3 = pulsante("BitBtn3", QStringLiteral("Chiudi"), QString(), 400);
    BitBtn3->impostaFigura(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn3->setIconSize(QSize(16, 16));

    connect(BitBtn1, &QPushButton::clicked, this, &TfVerifica::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfVerifica::BitBtn2Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TfVerifica::BitBtn4Click);
    // the cancel button: Escape closes the window too (QDialog::reject), which only hides it
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(0, altezza - altezzaBarra, larghezza, altezzaBarra);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimum(0);
    ProgressBar1->hide();
}

TfVerifica::~TfVerifica() = default;

void TfVerifica::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Finestre::centraSulloSchermo(this);
}

void TfVerifica::BitBtn1Click()
{
    // The box comes once the cursor, the bar and the owner list are restored.
    QString errore, avviso;
    {
        CursoreAttesa attesa;
        try {
            BarraAvanzamento barra(ProgressBar1);
            avviso = CaricaRuolo(dati_, elenco_, FileScambio(QStringLiteral("rsutot.txt")), &barra).avvisoRegistro;
        } catch (...) {
            errore = TestoEccezioneCorrente();
        }
        ProgressBar1->hide();
    }
    if (!errore.isEmpty())
        Messaggi::erroreStandard(this, errore);
    // committed, but a copy of sorvel.mdb alone would not hold all of it yet
    if (!avviso.isEmpty())
        Messaggi::mostra(this, Messaggi::Tipo::Avviso, avviso + QLatin1Char('.'), QMessageBox::Ok);
}

void TfVerifica::BitBtn2Click()
{
    try {
        ReportPreparato r;
        {
            CursoreAttesa attesa;
            r = frxReport1_->prepara();
        }
        AnteprimaReport::mostra(this, std::move(r));
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}

void TfVerifica::BitBtn4Click()
{
    std::shared_ptr<const ReportPreparato> r;
    try {
        CursoreAttesa attesa;
        r = std::make_shared<const ReportPreparato>(frxReport2_->prepara());
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
        return;
    }
    const std::vector<ReportLettere::Lettera> lettere = frxReport2_->lettere();
    AnteprimaReport a(r, this);
    // one PDF file per letter, for digital notification
    auto* salva = new QAction(QStringLiteral("Salva una lettera per contribuente..."), &a);
    salva->setObjectName(QStringLiteral("SalvaLettere"));
    salva->setToolTip(QStringLiteral("Salva ogni lettera in un file PDF a sé, per la notifica via PEC"));
    salva->setEnabled(!lettere.empty());
    a.barra->insertAction(a.barra->actions().value(2), salva);
    connect(salva, &QAction::triggered, &a, [this, &a, r, &lettere] {
        const QString cartella = chiediCartellaLettere ? chiediCartellaLettere(&a) : QString();
        if (cartella.isEmpty())
            return;
        try {
            CursoreAttesa attesa;
            LettereDivise::salva(*r, lettere, cartella);
        } catch (const Errore& err) {
            Messaggi::erroreStandard(&a, err.testo());
        }
    });
    a.exec();
}
