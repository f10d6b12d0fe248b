#pragma once
// The room panel grid of the dossier: two columns by two rows of panels, one
// room each ("Superficie", "Altezza", "Massima", "Ambiente"), scrolled a row of
// panels at a time; the panel of the current room is highlighted.

#include <QFrame>
#include <QList>

class DataSet;
class QLabel;
class QPlainTextEdit;
class QScrollBar;

class GrigliaAmbienti : public QFrame {
    Q_OBJECT
public:
    GrigliaAmbienti(DataSet& ambienti, QWidget* parent = nullptr);

    // The room shown in panel i (0..3) of the current page, or -1.
    int rigaPannello(int i) const;
    // Panel i's shown texts: superficie, altezza, massima, ambiente.
    QStringList testiPannello(int i) const;
    bool pannelloSelezionato(int i) const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    struct Pannello {
        QFrame* cornice;
        QLabel* superficie;
        QLabel* altezza;
        QLabel* massima;
        QPlainTextEdit* ambiente;
    };
    void aggiorna();
    void disponi();

    DataSet& ds_;
    QList<Pannello> pannelli_;
    QScrollBar* barra_;
    int primaRiga_ = 0;  // first row of panels shown (a row holds two rooms)
};
