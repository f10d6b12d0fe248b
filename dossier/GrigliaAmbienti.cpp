#include "GrigliaAmbienti.h"

#include "DataSet.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {
const QColor crema(255, 251, 240);
const QColor verdeChiaro(192, 220, 192);
constexpr int colonne = 2, righe = 2;
}  // namespace

GrigliaAmbienti::GrigliaAmbienti(DataSet& ambienti, QWidget* parent) : QFrame(parent), ds_(ambienti)
{
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, crema);
    setPalette(p);
    for (int i = 0; i < colonne * righe; ++i) {
        Pannello pn;
        pn.cornice = new QFrame(this);
        pn.cornice->setAutoFillBackground(true);
        pn.cornice->setFrameShape(QFrame::Box);
        auto* g = new QGridLayout(pn.cornice);
        g->setContentsMargins(4, 2, 4, 2);
        g->setVerticalSpacing(1);
        auto valore = [&] {
            auto* l = new QLabel(pn.cornice);
            l->setFrameShape(QFrame::StyledPanel);
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            l->setMinimumWidth(50);
            return l;
        };
        g->addWidget(new QLabel(QStringLiteral("Superficie"), pn.cornice), 0, 0);
        g->addWidget(pn.superficie = valore(), 1, 0);
        g->addWidget(new QLabel(QStringLiteral("Altezza"), pn.cornice), 2, 0);
        g->addWidget(pn.altezza = valore(), 3, 0);
        g->addWidget(new QLabel(QStringLiteral("Massima"), pn.cornice), 4, 0);
        g->addWidget(pn.massima = valore(), 5, 0);
        g->addWidget(new QLabel(QStringLiteral("Ambiente"), pn.cornice), 0, 1);
        pn.ambiente = new QPlainTextEdit(pn.cornice);
        pn.ambiente->setReadOnly(true);
        pn.ambiente->setFocusPolicy(Qt::NoFocus);
        pn.ambiente->setAttribute(Qt::WA_TransparentForMouseEvents);
        g->addWidget(pn.ambiente, 1, 1, 5, 1);
        g->setColumnStretch(1, 1);
        for (QWidget* w : pn.cornice->findChildren<QWidget*>())
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
        pannelli_.append(pn);
    }
    barra_ = new QScrollBar(Qt::Vertical, this);
    barra_->setFocusPolicy(Qt::NoFocus);
    connect(barra_, &QScrollBar::valueChanged, this, [this](int v) {
        primaRiga_ = v;
        aggiorna();
    });
    connect(&ds_, &DataSet::datiCambiati, this, [this] {
        primaRiga_ = 0;
        if (!ds_.seguitoSospeso())
            aggiorna();
    });
    auto segui = [this] {
        if (ds_.seguitoSospeso())
            return;
        // keep the current room on the page
        const int r = ds_.aperto() ? ds_.rigaCorrente() : -1;
        if (r >= 0) {
            const int rigaPannelli = r / colonne;
            if (rigaPannelli < primaRiga_)
                primaRiga_ = rigaPannelli;
            else if (rigaPannelli >= primaRiga_ + righe)
                primaRiga_ = rigaPannelli - righe + 1;
        }
        aggiorna();
    };
    connect(&ds_, &DataSet::rigaCambiata, this, segui);
    connect(&ds_, &DataSet::seguitoRipreso, this, segui);
    aggiorna();
}

int GrigliaAmbienti::rigaPannello(int i) const
{
    const int r = primaRiga_ * colonne + i;
    return ds_.aperto() && r < ds_.righe() ? r : -1;
}

QStringList GrigliaAmbienti::testiPannello(int i) const
{
    const Pannello& p = pannelli_[i];
    return {p.superficie->text(), p.altezza->text(), p.massima->text(), p.ambiente->toPlainText()};
}

bool GrigliaAmbienti::pannelloSelezionato(int i) const
{
    return rigaPannello(i) >= 0 && rigaPannello(i) == ds_.rigaCorrente();
}

void GrigliaAmbienti::aggiorna()
{
    const int n = ds_.aperto() ? ds_.righe() : 0;
    const int righePannelli = (n + colonne - 1) / colonne;
    barra_->blockSignals(true);
    barra_->setRange(0, std::max(0, righePannelli - righe));
    barra_->setValue(primaRiga_);
    barra_->blockSignals(false);
    for (int i = 0; i < pannelli_.size(); ++i) {
        Pannello& p = pannelli_[i];
        const int r = rigaPannello(i);
        auto t = [&](const char* campo) {
            return r < 0 ? QString() : ds_.testoRiga(r, ds_.campo(QString::fromLatin1(campo)));
        };
        p.superficie->setText(t("SupAmbiente"));
        p.altezza->setText(t("Altezza"));
        p.massima->setText(t("MaxAltezza"));
        p.ambiente->setPlainText(t("DesAmbiente"));
        p.cornice->setVisible(r >= 0);
        QPalette pal = p.cornice->palette();
        pal.setColor(QPalette::Window, pannelloSelezionato(i) ? verdeChiaro : crema);
        p.cornice->setPalette(pal);
    }
}

void GrigliaAmbienti::disponi()
{
    const int sb = barra_->sizeHint().width();
    barra_->setGeometry(width() - sb - 1, 1, sb, height() - 2);
    const int l = (width() - sb - 2) / colonne, h = (height() - 2) / righe;
    for (int i = 0; i < pannelli_.size(); ++i)
        pannelli_[i].cornice->setGeometry(1 + (i % colonne) * l, 1 + (i / colonne) * h, l, h);
}

void GrigliaAmbienti::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    disponi();
}

void GrigliaAmbienti::mousePressEvent(QMouseEvent* e)
{
    setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < pannelli_.size(); ++i)
        if (pannelli_[i].cornice->isVisible() && pannelli_[i].cornice->geometry().contains(e->position().toPoint()))
            ds_.vaiA(rigaPannello(i));
}

void GrigliaAmbienti::keyPressEvent(QKeyEvent* e)
{
    if (!ds_.aperto() || ds_.vuoto())
        return QFrame::keyPressEvent(e);
    const int r = ds_.rigaCorrente();
    switch (e->key()) {
    case Qt::Key_Right: ds_.vaiA(r + 1); break;
    case Qt::Key_Left: ds_.vaiA(r - 1); break;
    case Qt::Key_Down: ds_.vaiA(r + colonne); break;
    case Qt::Key_Up: ds_.vaiA(r - colonne); break;
    default: QFrame::keyPressEvent(e);
    }
}

void GrigliaAmbienti::wheelEvent(QWheelEvent* e)
{
    barra_->setValue(barra_->value() + (e->angleDelta().y() < 0 ? 1 : -1));
}
