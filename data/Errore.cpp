#include "Errore.h"

#include "ErroreDatabase.h"

#include <new>

QString TestoEccezione(const std::exception& e)
{
    if (const auto* err = dynamic_cast<const Errore*>(&e))
        return err->testo();
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return ErroriDatabase::frase(CondizioneDb::Memoria, QString()) + QStringLiteral(". Dettaglio tecnico: ") +
               QString::fromUtf8(e.what());
    return QString::fromUtf8(e.what());
}

QString TestoEccezioneCorrente()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return TestoEccezione(e);
    } catch (...) {
        return QStringLiteral("Errore sconosciuto");
    }
}

Errore ErroreRiga(qint64 riga)
{
    return Errore(QStringLiteral("Riga %1: %2").arg(riga).arg(TestoEccezioneCorrente()));
}
