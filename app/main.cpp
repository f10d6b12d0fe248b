// sorvel: the clerks' program. Start-up order: the main window, the data
// module (whose errors are shown and do not stop the start), the image module.

#include "Errore.h"
#include "Finestre.h"
#include "Messaggi.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "frMain.h"

#include <QApplication>
#include <exception>

namespace {
// Every error the program does not handle itself ends in the standard error box.
class Applicazione : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* o, QEvent* e) override
    {
        try {
            return QApplication::notify(o, e);
        } catch (const Errore& err) {
            Messaggi::erroreStandard(activeWindow(), err.testo());
        } catch (const std::exception& err) {
            Messaggi::erroreStandard(activeWindow(), TestoEccezione(err));
        }
        return false;
    }
};
}  // namespace

int main(int argc, char** argv)
{
    Applicazione app(argc, argv);
    app.setApplicationName(QStringLiteral("Sorvel"));
    Finestre::linguaItaliana();

    TfMain fMain;
    TdTabelle dTabelle;
    dTabelle.ModalitaS = app.arguments().value(1).toUpper() == QLatin1String("S");
    try {
        dTabelle.DataModuleCreate();
    } catch (const Errore& e) {
        Messaggi::erroreStandard(nullptr, e.testo());
    } catch (const std::exception& e) {
        Messaggi::erroreStandard(nullptr, TestoEccezione(e));
    }
    TdImmagini dImmagini;
    fMain.collegaModuli(dTabelle, dImmagini);
    fMain.show();
    return app.exec();
}
