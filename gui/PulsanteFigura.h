#pragma once
// A push button with a picture beside its caption, drawn in three states:
// normal, disabled and pressed (the picture changes while the button is held
// down).

#include <QIcon>
#include <QPushButton>

class PulsanteFigura : public QPushButton {
    Q_OBJECT
public:
    PulsanteFigura(const QString& testo, QWidget* parent = nullptr);

    // The three pictures, from files or resources of the same size.
    void impostaFigure(const QString& normale, const QString& disabilitata, const QString& premuta);
    // One picture for every state (a standard picture of the style).
    void impostaFigura(const QIcon& figura);

private:
    QIcon normale_, premuta_;
};
