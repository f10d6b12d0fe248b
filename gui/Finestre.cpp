#include "Finestre.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
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

}  // namespace Finestre
