#include "Caratteri.h"

#include <QFontDatabase>
#include <QStringList>

namespace Caratteri {

namespace {
void sostituisciArial()
{
    static const bool fatto = [] {
        if (!QFontDatabase::families().contains(QStringLiteral("Arial"), Qt::CaseInsensitive))
            QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)fatto;
}
}  // namespace

QFont font(const Carattere& c)
{
    sostituisciArial();
    QFont f(c.famiglia);
    f.setPointSizeF(c.punti);
    f.setBold(c.grassetto);
    f.setItalic(c.corsivo);
    f.setUnderline(c.sottolineato);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace Caratteri
