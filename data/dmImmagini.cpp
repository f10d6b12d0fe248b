#include "dmImmagini.h"

static void caricaRisorse() { Q_INIT_RESOURCE(immagini); }

TdImmagini::TdImmagini(QObject* parent) : QObject(parent)
{
    caricaRisorse();
    static const char* const nomi[] = {"00_import",   "01_primo",     "02_precedente", "03_prossimo",
                                       "04_ultimo",   "05_cerca",     "06_documenti",  "07_parametri",
                                       "08_stampa",   "09_verifica"};
    for (const char* n : nomi)
        ImageList1.append(QIcon(QStringLiteral(":/immagini/%1.png").arg(QLatin1String(n))));
    uscita = QIcon(QStringLiteral(":/immagini/uscita.png"));
}

QIcon TdImmagini::immagine(const QString& nome)
{
    caricaRisorse();
    return QIcon(QStringLiteral(":/immagini/%1.png").arg(nome));
}
