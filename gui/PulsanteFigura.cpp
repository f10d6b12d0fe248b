#include "PulsanteFigura.h"

#include <QPixmap>

PulsanteFigura::PulsanteFigura(const QString& testo, QWidget* parent) : QPushButton(testo, parent)
{
    connect(this, &QAbstractButton::pressed, this, [this] {
        if (!premuta_.isNull())
            setIcon(premuta_);
    });
    connect(this, &QAbstractButton::released, this, [this] { setIcon(normale_); });
}

void PulsanteFigura::impostaFigure(const QString& normale, const QString& disabilitata, const QString& premuta)
{
    const QPixmap n(normale), d(disabilitata), p(premuta);
    normale_ = QIcon();
    normale_.addPixmap(n, QIcon::Normal);
    normale_.addPixmap(n, QIcon::Active);
    normale_.addPixmap(d, QIcon::Disabled);
    premuta_ = QIcon();
    premuta_.addPixmap(p, QIcon::Normal);
    premuta_.addPixmap(p, QIcon::Active);
    premuta_.addPixmap(d, QIcon::Disabled);
    setIconSize(n.size());
    setIcon(isDown() ? premuta_ : normale_);
}

void PulsanteFigura::impostaFigura(const QIcon& figura)
{
    normale_ = figura;
    premuta_ = QIcon();
    setIcon(normale_);
}
