#pragma once
// The image module: the ten 32 x 32 toolbar pictures shared by the main
// window's actions, by index, and the picture of the exit button.

#include <QIcon>
#include <QList>
#include <QObject>

class TdImmagini : public QObject {
    Q_OBJECT
public:
    explicit TdImmagini(QObject* parent = nullptr);

    enum Indice { Import = 0, Primo, Precedente, Prossimo, Ultimo, Cerca, Documenti, Parametri, Stampa, Verifica };
    QList<QIcon> ImageList1;
    QIcon uscita;
};
