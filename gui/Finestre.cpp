#include "Finestre.h"

#include <QColor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>

namespace Finestre {

void caratterePredefinito(QWidget* w)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    w->setFont(f);
}

void centraSulloSchermo(QWidget* w)
{
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QSize dim = w->frameGeometry().size().expandedTo(w->size());
    w->move(area.x() + (area.width() - dim.width()) / 2, area.y() + (area.height() - dim.height()) / 2);
}

void coloriGriglia(QTableView* v, const QColor& celle, const QColor& titoli)
{
    QPalette p = v->palette();
    p.setColor(QPalette::Base, celle);
    v->setPalette(p);
    const QString stile = QStringLiteral("QHeaderView::section { background-color: %1; border: 1px solid gray; "
                                         "padding: 1px; }")
                              .arg(titoli.name());
    v->horizontalHeader()->setStyleSheet(stile);
    v->verticalHeader()->setStyleSheet(stile);
}

}  // namespace Finestre
