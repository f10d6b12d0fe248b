#pragma once
// A large push button with its picture above its caption.

#include <QPushButton>

class PulsanteGrande : public QPushButton {
    Q_OBJECT
public:
    PulsanteGrande(const QString& testo, const QIcon& immagine, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
};
