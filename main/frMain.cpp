#include "frMain.h"

#include "ElencoSoggetti.h"
#include "BarraAvanzamento.h"
#include "Errore.h"
#include "FileTesto.h"
#include "Finestre.h"
#include "ImportaFile.h"
#include "Richiesta.h"
#include "frDocumenti.h"
#include "frVerifica.h"
#include "frParametri.h"
#include "frRicerca.h"
#include "Maiuscolo.h"
#include "Messaggi.h"
#include "ModelloDati.h"
#include "Percorsi.h"
#include "AnteprimaReport.h"
#include "ReportElencoSoggetti.h"
#include "dmImmagini.h"
#include "dmTabelle.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>

namespace {
constexpr int margine = 8;
constexpr int altezzaBarra = 62;
constexpr int indicatore = 14;  // width of the grid's row indicator
}  // namespace

TfMain::TfMain(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Gestione dati Agenzia del Territorio"));
    // The dialog font of 8 points; Liberation Sans measures like Arial.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    setFont(f);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    creaAzioni();
    disponi();
}

TfMain::~TfMain() = default;

void TfMain::creaAzioni()
{
    ActionToolBar1 = new QToolBar(this);
    ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->setIconSize(QSize(32, 32));
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ActionToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ActionToolBar1);

    auto azione = [this](const char* nome, const QString& testo, const QString& suggerimento) {
        auto* a = new QAction(testo, this);
        a->setObjectName(QLatin1String(nome));
        a->setToolTip(suggerimento);
        a->setStatusTip(suggerimento);
        ActionToolBar1->addAction(a);
        return a;
    };
    Parametri1 = azione("Parametri1", QStringLiteral("Parametri"), QStringLiteral("Parametri di gestione"));
    Import1 = azione("Import1", QStringLiteral("Importa"),
                     QStringLiteral("Import totale di tutti i dati trasmessi dall'Agenzia del Territorio"));
    ActionToolBar1->addSeparator();
    DataSetFirst1 = azione("DataSetFirst1", QStringLiteral("Primo"), QStringLiteral("Primo"));
    DataSetPrior1 = azione("DataSetPrior1", QStringLiteral("Precedente"), QStringLiteral("Precedente"));
    DataSetNext1 = azione("DataSetNext1", QStringLiteral("Prossimo"), QStringLiteral("Prossimo"));
    DataSetLast1 = azione("DataSetLast1", QStringLiteral("Ultimo"), QStringLiteral("Ultimo"));
    ActionToolBar1->addSeparator();
    Cerca1 = azione("Cerca1", QStringLiteral("Cerca"), QStringLiteral("Altre ricerche"));
    Documenti1 = azione("Documenti1", QStringLiteral("Documenti"), QStringLiteral("Visualizza documenti correlati"));
    Stampa1 = azione("Stampa1", QStringLiteral("Stampa"), QStringLiteral("Stampa elenco"));
    ActionToolBar1->addSeparator();
    Verifica1 = azione("Verifica1", QStringLiteral("Verifica"), QStringLiteral("Tabulato di controllo dati metrici"));

    // The windows behind these actions come with later work.
    for (QAction* a : {Verifica1})
        a->setEnabled(false);
    connect(Documenti1, &QAction::triggered, this, &TfMain::Documenti1Execute);
    connect(Verifica1, &QAction::triggered, this, &TfMain::Verifica1Execute);
    connect(Cerca1, &QAction::triggered, this, &TfMain::Cerca1Execute);
    connect(Parametri1, &QAction::triggered, this, &TfMain::Parametri1Execute);
    connect(Stampa1, &QAction::triggered, this, &TfMain::Stampa1Execute);
    terminaApplicazione = [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); };
    connect(Import1, &QAction::triggered, this, &TfMain::Import1Execute);
    OpenDialog1 = [this] {
        // no filter, extension, title or folder of its own; the file need not exist
        QFileDialog d(this);
        d.setFileMode(QFileDialog::AnyFile);
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setOption(QFileDialog::ReadOnly, false);
        d.setSizeGripEnabled(true);
        return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().constFirst() : QString();
    };

    auto naviga = [this](QAction* a, void (DataSet::*passo)()) {
        connect(a, &QAction::triggered, this, [this, passo] {
            if (ADOQuery1_ && ADOQuery1_->aperto())
                (ADOQuery1_.get()->*passo)();
        });
    };
    naviga(DataSetFirst1, &DataSet::primo);
    naviga(DataSetPrior1, &DataSet::precedente);
    naviga(DataSetNext1, &DataSet::prossimo);
    naviga(DataSetLast1, &DataSet::ultimo);
}

void TfMain::disponi()
{
    auto* centro = new QWidget(this);
    setCentralWidget(centro);
    setFixedSize(788, 569);

    ActionToolBar1->setFixedHeight(altezzaBarra);
    ActionToolBar1->setContentsMargins(10, 10, 10, 10);

    Uscita = new QPushButton(QStringLiteral("Uscita"), this);
    Uscita->setObjectName(QStringLiteral("Uscita"));
    Uscita->setGeometry(788 - 72 - margine, (altezzaBarra - 38) / 2, 72, 38);
    Uscita->setFocusPolicy(Qt::TabFocus);
    connect(Uscita, &QPushButton::clicked, this, &QWidget::close);
    Uscita->installEventFilter(this);

    const int yBox = 4;
    Edit1 = new QLineEdit(centro);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(margine + indicatore, yBox, 353, 21);
    Edit2 = new QLineEdit(centro);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(margine + indicatore + 350 + 69 + 200, yBox, 118, 21);
    for (QLineEdit* e : {Edit1, Edit2}) {
        e->setValidator(new Maiuscolo(e));
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this, e] { Edit1Change(e); });
    }

    DBGrid1 = new QTableView(centro);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(margine, yBox + 25, 769, 457);
    DBGrid1->installEventFilter(this);
    DBGrid1->setTextElideMode(Qt::ElideNone);  // a cell clips its text, as the grid always did

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(0, 569 - 16, 788, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimum(0);
    ProgressBar1->hide();
}

void TfMain::collegaModuli(TdTabelle& dati, TdImmagini& immagini)
{
    dati_ = &dati;
    immagini_ = &immagini;
    const QList<QAction*> azioni{Import1, DataSetFirst1, DataSetPrior1, DataSetNext1, DataSetLast1,
                                 Cerca1,  Documenti1,    Parametri1,    Stampa1,     Verifica1};
    for (int i = 0; i < azioni.size() && i < immagini.ImageList1.size(); ++i)
        azioni[i]->setIcon(immagini.ImageList1[i]);
    Uscita->setIcon(immagini.uscita);
    Uscita->setIconSize(QSize(24, 24));

    ADOQuery1_ = std::make_unique<Query>(dati.ADOConnection1, QStringLiteral("ADOQuery1"));
    modello_ = new ModelloDati(*ADOQuery1_,
                               {{QStringLiteral("Denominazione"), QStringLiteral("Denominazione"), 350},
                                {QStringLiteral("NData"), QStringLiteral("Data nasc."), 69, Qt::AlignHCenter, Qt::AlignHCenter},
                                {QStringLiteral("NComune"), QStringLiteral("Luogo di nascita"), 200},
                                {QStringLiteral("CodFisc"), QStringLiteral("Codice fiscale"), 115, Qt::AlignHCenter, Qt::AlignHCenter}},
                               this);
    modello_->collega(DBGrid1);
}

void TfMain::ApriElenco()
{
    if (!ADOQuery1_)
        return;
    ElencoSoggetti::apri(*ADOQuery1_, *dati_);
}

void TfMain::AggiornaDopoParametri()
{
    CursoreAttesa attesa;
    dati_->applicaFiltroGestione();
    ApriElenco();
}

void TfMain::Documenti1Execute()
{
    if (!dati_ || !ADOQuery1_)
        return;
    {
        CursoreAttesa attesa;
        documenti();
        const bool riga = ADOQuery1_->aperto() && !ADOQuery1_->vuoto();
        fDocumenti_->NumSoggetto = riga ? ADOQuery1_->intero(u"Soggetto") : 0;
        fDocumenti_->setWindowTitle(QStringLiteral("Documenti relativi a ") + ADOQuery1_->testo(u"Denominazione") +
                                    QStringLiteral(" - ") + ADOQuery1_->testo(u"NData") + QStringLiteral(" - ") +
                                    ADOQuery1_->testo(u"CodFisc"));
    }
    fDocumenti_->Tag = 0;
    fDocumenti_->exec();
}

void TfMain::Verifica1Execute()
{
    if (!dati_ || !ADOQuery1_)
        return;
    {
        CursoreAttesa attesa;
        if (!fVerifica_)
            fVerifica_ = new TfVerifica(*dati_, *ADOQuery1_, this);
    }
    fVerifica_->exec();
}

TfDocumenti* TfMain::documenti()
{
    if (!fDocumenti_) {
        CursoreAttesa attesa;
        fDocumenti_ = new TfDocumenti(*dati_, this);
        // "Ricerca" of a dossier opened here: the search on the dossier's identifier.
        fDocumenti_->apriRicerca = [this](const QString& foglio, const QString& numero, const QString& subalterno) {
            TfRicerca* r = ricerca();
            r->Tag = 1;
            r->FoglioRicerca = foglio;
            r->NumeroRicerca = numero;
            r->SubalternoRicerca = subalterno;
            r->exec();
        };
    }
    return fDocumenti_;
}

TfRicerca* TfMain::ricerca()
{
    if (!fRicerca_) {
        CursoreAttesa attesa;
        fRicerca_ = new TfRicerca(*dati_, immagini_, this);
        fRicerca_->fDocumenti = [this] { return documenti(); };
    }
    return fRicerca_;
}

void TfMain::Cerca1Execute()
{
    if (!dati_)
        return;
    TfRicerca* r = ricerca();
    r->Tag = 0;
    r->exec();
}

void TfMain::Parametri1Execute()
{
    if (!dati_)
        return;
    if (!fParametri_) {
        CursoreAttesa attesa;
        fParametri_ = new TfParametri(*dati_, immagini_, this);
    }
    if (fParametri_->exec() != QDialog::Accepted)
        return;
    try {
        AggiornaDopoParametri();
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
}

void TfMain::Stampa1Execute()
{
    if (!ADOQuery1_)
        return;
    try {
        ReportPreparato r;
        {
            CursoreAttesa attesa;
            r = ReportElencoSoggetti::prepara(*ADOQuery1_);
        }
        AnteprimaReport::mostra(this, std::move(r));
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
}

void TfMain::EseguiRichiesta()
{
    QString riga;
    try {
        LettoreTesto richiesta(FileScambio(QStringLiteral("rsuter.txt")));
        riga = richiesta.leggiRiga();
    } catch (const Errore&) {
        return;  // no request: ordinary use, the dossier still shows its roll panel
    }
    const RichiestaContribuente r = Richiesta::analizza(riga);
    dati_->SuperficieRuolo = r.superficie;
    if (ADOQuery1_ && ADOQuery1_->aperto() && Richiesta::trova(*ADOQuery1_, r))
        Documenti1Execute();
    terminaApplicazione();
}

void TfMain::Import1Execute()
{
    const QString file = OpenDialog1();
    if (file.isEmpty())
        return;
    if (Messaggi::mostra(this, Messaggi::Tipo::Conferma,
                         QStringLiteral("Verranno azzerati e ricreati gli archivi, continuo?"),
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    CursoreAttesa attesa;
    if (ADOQuery1_)
        ADOQuery1_->chiudi();
    QString avviso;
    try {
        BarraAvanzamento barra(ProgressBar1);
        avviso = ImportaFile(*dati_, file, &barra).avvisoRegistro;
    } catch (const ComuneNonCorrisponde& e) {
        Messaggi::mostra(this, Messaggi::Tipo::Errore, e.testo(), QMessageBox::Cancel);
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
    ProgressBar1->hide();
    // committed, but a copy of sorvel.mdb alone would not hold all of it yet
    if (!avviso.isEmpty())
        Messaggi::mostra(this, Messaggi::Tipo::Avviso, avviso + QLatin1Char('.'), QMessageBox::Ok);
    try {
        ApriElenco();
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
    }
}

void TfMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!mostrata_) {
        mostrata_ = true;
        Finestre::centraSulloSchermo(this);
        FormShow();
    }
}

void TfMain::FormShow()
{
    // An error stops the sequence: the window opens with the steps before it done.
    try {
        ApriElenco();
    } catch (const Errore& e) {
        Messaggi::erroreStandard(this, e.testo());
        return;
    }
    if (dati_ && dati_->ModalitaS)
        EseguiRichiesta();
    // The roll file is probed once: one written later counts at the next start.
    QFile ruolo(FileScambio(QStringLiteral("rsutot.txt")));
    fileRuolo_ = ruolo.open(QIODevice::ReadOnly);
    ruolo.close();
    Verifica1->setEnabled(fileRuolo_);
}

void TfMain::Edit1Change(QLineEdit* box)
{
    if (!ADOQuery1_ || !ADOQuery1_->aperto())
        return;
    const QString testo = box->text();
    if (testo.isEmpty()) {
        ADOQuery1_->primo();
        return;
    }
    const QString campo = box->objectName() == QLatin1String("Edit1") ? QStringLiteral("Denominazione")
                                                                         : QStringLiteral("CodFisc");
    ADOQuery1_->Locate(campo, {testo}, {.ignoraMaiuscole = true, .chiaveParziale = true});
}

bool TfMain::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        // Entering a search box empties the other one.
        if (o == Edit1)
            Edit2->clear();
        else if (o == Edit2)
            Edit1->clear();
        return false;
    }
    if (e->type() != QEvent::KeyPress || (o != Edit1 && o != Edit2 && o != DBGrid1 && o != Uscita))
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && o != Uscita) {
        Documenti1->trigger();
        return true;
    }
    if (o != Edit1 && o != Edit2 && !k->text().isEmpty() && k->text().at(0).isPrint()) {
        // A character typed outside the search boxes starts a name search from that character.
        Edit1->setFocus(Qt::OtherFocusReason);
        Edit2->clear();
        Edit1->setText(k->text().toUpper());
        Edit1->setCursorPosition(int(Edit1->text().size()));
        return true;  // the grid's own keyboard search must not move the cursor
    }
    return false;
}
