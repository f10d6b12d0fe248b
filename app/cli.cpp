// sorvel-cli: the batch front end over the same core and the same start-up.
// Errors go to stderr in the words the program's error box would show; the
// exit code is 0 on success and 1 on any error.

#include "Collegamento.h"
#include "ConfrontoSuperfici.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "ImportaFile.h"
#include "Parametri.h"
#include "dmTabelle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>

namespace {

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}
QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

// The words of the standard error box: a full stop is added when missing.
QString testoErrore(const QString& t)
{
    QString r = t.trimmed();
    if (!r.endsWith(QLatin1Char('.')))
        r += QLatin1Char('.');
    return r;
}

const char* uso =
    "uso: sorvel-cli COMANDO [opzioni]\n"
    "  init-db [--force]            crea il database consegnato indicato da sorvel.ini\n"
    "  params [--codice C] [--nome N] [--provincia P] [--codfis X] [--indirizzo I]\n"
    "         [--telefono T] [--fax F] [--firma S]\n"
    "                               modifica i parametri di gestione come \"Conferma\"\n"
    "  import FILE                  importa una fornitura \"dati metrici\" del comune di gestione\n"
    "  confronto SOGGETTO [--ruolo N]  le cinque cifre del confronto delle superfici del soggetto\n";

int initDb(const QStringList& arg)
{
    bool force = false;
    for (const QString& a : arg) {
        if (a == QLatin1String("--force"))
            force = true;
        else
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(a));
    }
    TdTabelle d;
    d.leggiConfigurazione();
    const ParametriConnessione p = StringaDiConnessione::analizza(d.StringaConnessione);
    const int n = DatabaseConsegnato::crea(p.file, force);
    out() << "Creato " << p.file << " con " << n << " comuni.\n";
    return 0;
}

// Start-up as the program does it; its error ends the command.
void avvia(TdTabelle& d) { d.DataModuleCreate(); }

int params(const QStringList& arg)
{
    static const std::map<QString, QString> colonne{
        {QStringLiteral("--codice"), QStringLiteral("Codice")},       {QStringLiteral("--nome"), QStringLiteral("Nome")},
        {QStringLiteral("--provincia"), QStringLiteral("Provincia")}, {QStringLiteral("--codfis"), QStringLiteral("CodFis")},
        {QStringLiteral("--indirizzo"), QStringLiteral("Indirizzo")}, {QStringLiteral("--telefono"), QStringLiteral("Telefono")},
        {QStringLiteral("--fax"), QStringLiteral("Fax")},             {QStringLiteral("--firma"), QStringLiteral("Firma")}};
    QList<std::pair<QString, QString>> valori;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        QString opzione = arg[i], valore;
        const qsizetype uguale = opzione.indexOf(QLatin1Char('='));
        if (uguale > 0) {
            valore = opzione.mid(uguale + 1);
            opzione.truncate(uguale);
        } else if (i + 1 < arg.size()) {
            valore = arg[++i];
        } else {
            throw Errore(QStringLiteral("Manca il valore dell'opzione %1").arg(opzione));
        }
        const auto it = colonne.find(opzione);
        if (it == colonne.end())
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(opzione));
        valori.append({it->second, valore});
    }
    TdTabelle d;
    avvia(d);
    if (d.tParametri.vuoto())
        throw Errore(QStringLiteral("La tabella tParametri non ha righe"));
    // As typed into the dialog's boxes: upper case but for the signature.
    for (const auto& [colonna, valore] : valori) {
        d.tParametri.modifica();
        d.tParametri.impostaTesto(colonna, colonna == QLatin1String("Firma") ? valore : valore.toUpper());
    }
    Parametri::conferma(d);
    for (const char* c : {"Codice", "Nome", "Provincia", "CodFis", "Indirizzo", "Telefono", "Fax", "Firma", "CAP"})
        out() << c << ": " << d.tParametri.testo(QString::fromLatin1(c)) << '\n';
    return 0;
}

// Progress on stderr, a line about every half second.
class AvanzamentoConsole : public Avanzamento {
public:
    void inizio(qint64 righe) override
    {
        totale_ = righe;
        orologio_.start();
        err() << "Import di " << righe << " righe...\n";
        err().flush();
    }
    void passo() override
    {
        ++fatte_;
        if ((fatte_ & 0xFFF) == 0 && orologio_.elapsed() - ultimo_ >= 500) {
            ultimo_ = orologio_.elapsed();
            err() << "  " << fatte_ << " / " << totale_ << " righe (" << (100 * fatte_ / std::max<qint64>(totale_, 1))
                  << "%)\n";
            err().flush();
        }
    }

private:
    qint64 totale_ = 0, fatte_ = 0, ultimo_ = 0;
    QElapsedTimer orologio_;
};

int importa(const QStringList& arg)
{
    if (arg.size() != 1)
        throw Errore(QStringLiteral("Uso: sorvel-cli import FILE"));
    TdTabelle d;
    avvia(d);
    AvanzamentoConsole avanzamento;
    QElapsedTimer t;
    t.start();
    const RisultatoImport r = ImportaFile(d, arg[0], &avanzamento);
    err() << "Importate " << r.righe << " righe in " << QString::number(t.elapsed() / 1000.0, 'f', 2) << " s.\n";
    return 0;
}

int confronto(const QStringList& arg)
{
    qint64 soggetto = -1;
    qint32 ruolo = 0;
    for (qsizetype i = 0; i < arg.size(); ++i) {
        const QString& a = arg[i];
        QString valore;
        if (a == QLatin1String("--ruolo") || a.startsWith(QLatin1String("--ruolo="))) {
            valore = a.contains(QLatin1Char('=')) ? a.mid(a.indexOf(QLatin1Char('=')) + 1) : arg.value(++i);
            const auto n = Conversione::intero(valore);
            if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
                throw Errore(QStringLiteral("Superficie a ruolo non valida: '%1'").arg(valore));
            ruolo = qint32(*n);
        } else if (soggetto < 0) {
            const auto n = Conversione::intero(a);
            if (!n)
                throw Errore(QStringLiteral("Numero del soggetto non valido: '%1'").arg(a));
            soggetto = *n;
        } else {
            throw Errore(QStringLiteral("Opzione sconosciuta: %1").arg(a));
        }
    }
    if (soggetto < 0)
        throw Errore(QStringLiteral("Uso: sorvel-cli confronto SOGGETTO [--ruolo N]"));
    TdTabelle d;
    avvia(d);
    const Confronto c = ConfrontoSuperfici(d, d.codiceGestione(), soggetto, ruolo);
    out() << "Totale: " << c.totaleTesto << "\nRuolo: " << c.ruolo << "\nDifferenza: " << c.differenza
          << "\nDichiarabile: " << c.dichiarabile << "\nAccertabile: " << c.accertabile << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arg = app.arguments().mid(1);
    if (arg.isEmpty() || arg[0] == QLatin1String("--help") || arg[0] == QLatin1String("-h")) {
        std::fputs(uso, arg.isEmpty() ? stderr : stdout);
        return arg.isEmpty() ? 1 : 0;
    }
    static const std::map<QString, std::function<int(const QStringList&)>> comandi{
        {QStringLiteral("init-db"), initDb}, {QStringLiteral("params"), params},
        {QStringLiteral("import"), importa}, {QStringLiteral("confronto"), confronto}};
    const QString comando = arg.takeFirst();
    const auto it = comandi.find(comando);
    if (it == comandi.end()) {
        err() << "Comando sconosciuto: " << comando << "\n" << uso;
        return 1;
    }
    try {
        return it->second(arg);
    } catch (const Errore& e) {
        err() << testoErrore(e.testo()) << '\n';
    } catch (const std::exception& e) {
        err() << testoErrore(QString::fromUtf8(e.what())) << '\n';
    }
    return 1;
}
