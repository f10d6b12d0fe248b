#include "Finestre.h"

#include <QColor>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QTableView>
#include <QTranslator>
#include <QScreen>
#include <QWidget>

namespace Finestre {

bool linguaItaliana()
{
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italiano);
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (!qt->load(italiano, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

void centraSulloSchermo(QWidget* w)
{
    QScreen* schermo = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!schermo)
        return;
    QRect r = w->frameGeometry();
    r.moveCenter(schermo->availableGeometry().center());
    w->move(r.topLeft());
}

void caratterePredefinito(QWidget* w)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    w->setFont(f);
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
