#pragma once
// The program's message boxes: Italian titles by kind and Italian buttons,
// OK as default button where there is one (else yes), Escape on the cancel
// button (else no, else OK); and the standard error box for every error the
// program does not handle itself.

#include <QCursor>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace Messaggi {

enum class Tipo { Avviso, Errore, Informazione, Conferma };

// "&Tutti": Qt has no "all" button of its own; the box shows this one so.
inline constexpr QMessageBox::StandardButton Tutti = QMessageBox::SaveAll;

// Buttons are the QMessageBox standard ones; their texts are set in Italian.
QMessageBox::StandardButton mostra(QWidget* padre, Tipo tipo, const QString& testo,
                                   QMessageBox::StandardButtons pulsanti);

// The standard error box: the text with a full stop added when it has none,
// error icon, one OK button, the program's name as title.
void erroreStandard(QWidget* padre, const QString& testo);

// Set by tests: boxes are recorded and answered without being shown.
struct Registro {
    QString titolo, testo;
    QMessageBox::StandardButton risposta = QMessageBox::NoButton;
};
void simula(bool attivo, QMessageBox::StandardButton risposta = QMessageBox::Ok);
const QList<Registro>& mostrati();

}  // namespace Messaggi

// The two waiting cursors: crSQLWait (an hourglass marked "SQL") over database
// work and window creation, crHourGlass (the plain one) for the parameters'
// look-up.
enum class Cursore { SQLWait, HourGlass };
QCursor cursore(Cursore c);

// A waiting cursor over the whole application for the lifetime of the object.
class CursoreAttesa {
public:
    explicit CursoreAttesa(Cursore c = Cursore::SQLWait);
    ~CursoreAttesa();
    CursoreAttesa(const CursoreAttesa&) = delete;
    CursoreAttesa& operator=(const CursoreAttesa&) = delete;
};
