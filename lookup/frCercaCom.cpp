#include "frCercaCom.h"

#include "CercaComune.h"
#include "Errore.h"
#include "Finestre.h"
#include "Maiuscolo.h"
#include "Messaggi.h"
#include "ModelloDati.h"
#include "dmImmagini.h"
#include "dmTabelle.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>
#include <QToolBar>

TfCercaCom::TfCercaCom(TdTabelle& dati, const TdImmagini* immagini, QWidget* parent)
    : QDialog(parent), ADOQuery1(dati.ADOConnection1, QStringLiteral("ADOQuery1"))
{
    setWindowTitle(QStringLiteral("Cerca"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    Finestre::caratterePredefinito(this);
    setFixedSize(335, 453);
    ADOQuery1.sql = CercaComune::sql();
    connect(&ADOQuery1, &DataSet::rigaCambiata, this, &TfCercaCom::ADOQuery1AfterScroll);
    disponi(immagini);
}

void TfCercaCom::disponi(const TdImmagini* immagini)
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 335, 60);
    Panel1->setAutoFillBackground(true);
    QPalette p = Panel1->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));  // navy
    Panel1->setPalette(p);

    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 20, 149, 21);
    Edit1->setValidator(new Maiuscolo(Edit1));
    connect(Edit1, &QLineEdit::textChanged, this, &TfCercaCom::Edit1Change);

    ToolBar1 = new QToolBar(Panel1);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(170, 12, 160, 38);
    ToolBar1->setIconSize(QSize(28, 28));
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; }"));
    auto azione = [this, immagini](const char* nome, const QString& suggerimento, int immagine,
                                   void (DataSet::*passo)()) {
        auto* a = new QAction(suggerimento, this);
        a->setObjectName(QLatin1String(nome));
        a->setToolTip(suggerimento);
        if (immagini && immagine < immagini->ImageList1.size())
            a->setIcon(immagini->ImageList1[immagine]);
        ToolBar1->addAction(a);
        connect(a, &QAction::triggered, this, [this, passo] {
            if (ADOQuery1.aperto())
                (ADOQuery1.*passo)();
        });
        return a;
    };
    DataSetFirst1 = azione("DataSetFirst1", QStringLiteral("Primo"), TdImmagini::Primo, &DataSet::primo);
    DataSetPrior1 = azione("DataSetPrior1", QStringLiteral("Precedente"), TdImmagini::Precedente, &DataSet::precedente);
    DataSetNext1 = azione("DataSetNext1", QStringLiteral("Prossimo"), TdImmagini::Prossimo, &DataSet::prossimo);
    DataSetLast1 = azione("DataSetLast1", QStringLiteral("Ultimo"), TdImmagini::Ultimo, &DataSet::ultimo);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(0, 60, 335, 453 - 60);
    (new ModelloDati(ADOQuery1,
                     {{QStringLiteral("Nome"), QStringLiteral("Nome"), 272},
                      {QStringLiteral("Provincia"), QStringLiteral("Prov."), 42, Qt::AlignHCenter, Qt::AlignHCenter}},
                     this))
        ->collega(DBGrid1);
    DBGrid1->verticalHeader()->hide();  // no row indicator
    DBGrid1->setShowGrid(true);
    DBGrid1->setTextElideMode(Qt::ElideNone);
    Finestre::coloriGriglia(DBGrid1, QColor(192, 220, 192), QColor(166, 202, 240));
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);

    // Enter and Escape reach the window before the focused control.
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(DBGrid1), static_cast<QWidget*>(ToolBar1)})
        w->installEventFilter(this);
    setFocusProxy(Edit1);
}

void TfCercaCom::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A restore from minimised is no new showing.
    if (e->spontaneous())
        return;
    Finestre::centraSulloSchermo(this);
    FormShow();
}

void TfCercaCom::FormShow()
{
    try {
        ADOQuery1.chiudi();
        ADOQuery1.apri();  // with the text it has: at first every municipality, later the last search
        Edit1->clear();     // a change when the box held text: the full list comes back
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
    Edit1->setFocus();
}

void TfCercaCom::Edit1Change()
{
    try {
        ADOQuery1.chiudi();
        ADOQuery1.sql[CercaComune::rigaCondizione] = CercaComune::condizione(Edit1->text());
        ADOQuery1.apri();
    } catch (const Errore& err) {
        Messaggi::erroreStandard(this, err.testo());
    }
}

void TfCercaCom::ADOQuery1AfterScroll()
{
    if (!ADOQuery1.aperto() || ADOQuery1.vuoto() || ADOQuery1.rigaCorrente() < 0)
        return;
    CodiceScelto = ADOQuery1.testo(u"CodiceCat");
    NomeScelto = ADOQuery1.testo(u"Nome");
    ProvinciaScelta = ADOQuery1.testo(u"Provincia");
}

bool TfCercaCom::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    const auto* k = static_cast<QKeyEvent*>(e);
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (o == Edit1 && ADOQuery1.aperto()) {
            if (k->key() == Qt::Key_Up)
                ADOQuery1.precedente();
            else
                ADOQuery1.prossimo();
        }
        return false;
    default:
        return false;
    }
}

void TfCercaCom::done(int r)
{
    ADOQuery1.chiudi();  // whatever the result; the choice stays in the three members
    QDialog::done(r);
}
