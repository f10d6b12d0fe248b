#include "PulsanteGrande.h"

#include <QStyleOptionButton>
#include <QStylePainter>

PulsanteGrande::PulsanteGrande(const QString& testo, const QIcon& immagine, QWidget* parent) : QPushButton(testo, parent)
{
    setIcon(immagine);
    setIconSize(QSize(32, 32));
}

void PulsanteGrande::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton o;
    initStyleOption(&o);
    const QString testo = o.text;
    o.text.clear();
    o.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, o);  // the button without its contents

    const QRect r = style()->subElementRect(QStyle::SE_PushButtonContents, &o, this);
    const int altezzaTesto = fontMetrics().height();
    const int alto = r.top() + (r.height() - iconSize().height() - 2 - altezzaTesto) / 2;
    const QIcon::Mode modo = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap immagine = icon().pixmap(iconSize(), devicePixelRatio(), modo);
    p.drawPixmap(r.left() + (r.width() - iconSize().width()) / 2, alto, immagine);
    p.drawItemText(QRect(r.left(), alto + iconSize().height() + 2, r.width(), altezzaTesto), Qt::AlignCenter, palette(),
                   isEnabled(), testo, QPalette::ButtonText);
}
