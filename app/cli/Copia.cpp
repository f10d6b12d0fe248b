#include "Cli.h"

#include "Collegamento.h"
#include "Connessione.h"
#include "CopiaDatabase.h"
#include "Errore.h"
#include "FileTesto.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

namespace {

// The database named by the first line of a sorvel.ini; a database file
// named without its folder lies beside that sorvel.ini, as it does for the
// program started in that folder.
ParametriConnessione databaseDi(const QString& ini)
{
    const QString motivo = MotivoNonFile(ini);
    if (!motivo.isEmpty())
        throw Errore(QStringLiteral("Impossibile leggere il file di configurazione \"%1\": %2")
                         .arg(QDir::toNativeSeparators(ini), motivo));
    LettoreTesto l(ini);
    ParametriConnessione p = StringaDiConnessione::analizza(l.leggiRiga());
    if (p.tipo == ParametriConnessione::Tipo::File && QFileInfo(p.file).isRelative())
        p.file = QFileInfo(ini).dir().filePath(p.file);
    return p;
}

}  // namespace

int copia(const QStringList& arg)
{
    const QString uso = QStringLiteral("Uso: sorvel-cli copia --da INI --a INI [--force]");
    const Argomenti a(arg, {{QStringLiteral("--da")}, {QStringLiteral("--a")}, {QStringLiteral("--force"), false}}, 0,
                      0, uso);
    if (!a.valore(u"--da") || !a.valore(u"--a"))
        throw Errore(uso);
    const ParametriConnessione da = databaseDi(*a.valore(u"--da"));
    const ParametriConnessione verso = databaseDi(*a.valore(u"--a"));
    const CopiaDatabase::Conteggi conteggi = CopiaDatabase::copia(da, verso, a.ha(u"--force"));
    qint64 totale = 0;
    for (const auto& [tabella, righe] : conteggi) {
        out() << tabella << ": " << righe << " righe\n";
        totale += righe;
    }
    out() << "Copiate " << totale << " righe da " << da.descrizione() << " a " << verso.descrizione() << ".\n";
    return 0;
}

}  // namespace Cli
