#pragma once
// The image module: the ten 32 x 32 toolbar pictures shared by the main
// window's actions, by index, the picture of the exit button, and the
// pictures of the large buttons of other windows, by name.

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

    // A picture of the module by its file name without extension ("prospetto").
    static QIcon immagine(const QString& nome);
};
