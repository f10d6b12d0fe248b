#include "CopiaDatabase.h"

#include "Campo.h"
#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "Errore.h"
#include "Motore.h"
#include "Schema.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace CopiaDatabase {

namespace {

bool stessoDatabase(const ParametriConnessione& a, const ParametriConnessione& b)
{
    if (a.tipo != b.tipo)
        return false;
    if (a.tipo == ParametriConnessione::Tipo::Server)
        return a.descrizione() == b.descrizione();
    const QFileInfo fa(a.file), fb(b.file);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

qint64 conta(Connessione& db, const QString& sql)
{
    Comando c = db.prepara(sql);
    return c.passo() ? c.intero(0) : 0;
}

// More than a database just made by init-db holds.
bool contieneDati(Connessione& db)
{
    for (const DefTabella& t : Schema::tabelle()) {
        if (t.nome == QLatin1String("tComuni") || !db.esisteTabella(t.nome))
            continue;
        const QString dove = t.nome == QLatin1String("tParametri")
                                 ? QStringLiteral(" WHERE COALESCE(Codice, '') <> '' OR COALESCE(Nome, '') <> ''")
                                 : QString();
        if (conta(db, QStringLiteral("SELECT count(*) FROM ") + t.nome + dove) > 0)
            return true;
    }
    return false;
}

// One stored value of column `i` as the bulk writer takes it. A value the
// column cannot hold stops the copy: it would be lost on the way.
void leggi(const Comando& c, int i, const DefCampo& campo, const QString& tabella, ValoreCampo& v)
{
    const Comando::Tipo t = c.tipo(i);
    v.nullo = t == Comando::Tipo::Nullo;
    if (v.nullo)
        return;
    if (campo.testuale()) {
        v.testo = c.testo(i);
        return;
    }
    bool ok = true;
    if (campo.tipo == TipoCampo::Data) {
        const QDate d = QDate::fromString(c.testo(i).left(10), Qt::ISODate);
        ok = d.isValid();
        v.numero = d.toJulianDay();
    } else if (t == Comando::Tipo::Intero) {
        v.numero = c.intero(i);
    } else {
        const auto n = Conversione::intero(c.testo(i));
        ok = n.has_value();
        v.numero = n.value_or(0);
    }
    if (!ok)
        throw Errore(QStringLiteral("Il valore \"%1\" della colonna %2 della tabella %3 non è valido: copia annullata")
                         .arg(c.testo(i), campo.nome, tabella));
}

Conteggi copiaTabelle(Connessione& sorgente, Connessione& dest, bool sostituisci)
{
    // The source is read in a write transaction of its own: an import or a
    // roll load at another workstation waits for the copy to end instead of
    // leaving it half the old data and half the new.
    Transazione lettura(sorgente);
    Transazione tr(dest);
    if (contieneDati(dest) && !sostituisci)
        throw Errore(QStringLiteral("Il database %1 contiene già dei dati: usare --force per sostituirli")
                         .arg(dest.file()));
    Schema::elimina(dest);
    Schema::crea(dest);

    Conteggi conteggi;
    for (const DefTabella& t : Schema::tabelle()) {
        QStringList colonne;
        for (const DefCampo& c : t.campi)
            colonne << c.nome;
        Comando c = sorgente.prepara(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(colonne.join(QStringLiteral(", ")), t.nome));
        const std::unique_ptr<ScritturaMassiva> scrittura = dest.scritturaMassiva(t);
        std::vector<ValoreCampo> riga(size_t(t.campi.size()));
        qint64 n = 0;
        while (c.passo()) {
            for (int i = 0; i < t.campi.size(); ++i)
                leggi(c, i, t.campi[i], t.nome, riga[size_t(i)]);
            scrittura->aggiungi(riga);
            ++n;
        }
        scrittura->scrivi();
        const qint64 origine = conta(sorgente, QStringLiteral("SELECT count(*) FROM ") + t.nome);
        const qint64 copiate = conta(dest, QStringLiteral("SELECT count(*) FROM ") + t.nome);
        if (origine != n || copiate != n)
            throw Errore(QStringLiteral("Copia della tabella %1 non riuscita: %2 righe nell'origine, %3 lette, %4 "
                                        "nella destinazione; il database di destinazione è rimasto com'era")
                             .arg(t.nome)
                             .arg(origine)
                             .arg(n)
                             .arg(copiate));
        conteggi.append({t.nome, n});
    }
    tr.conferma();
    dest.consolidaRegistro();
    return conteggi;
}

}  // namespace

Conteggi copia(const ParametriConnessione& da, const ParametriConnessione& a, bool sostituisci)
{
    if (stessoDatabase(da, a))
        throw Errore(QStringLiteral("Il database di origine e quello di destinazione sono lo stesso (%1)")
                         .arg(da.descrizione()));
    Connessione sorgente(da, Connessione::Apertura::Esistente);
    for (const DefTabella& t : Schema::tabelle())
        Schema::verifica(sorgente, t);
    // a file made for the copy goes again if the copy fails
    const bool fileNuovo = a.tipo == ParametriConnessione::Tipo::File && !QFileInfo::exists(a.file);
    std::unique_ptr<Connessione> destinazione = DatabaseConsegnato::apriCreando(a);
    try {
        return copiaTabelle(sorgente, *destinazione, sostituisci);
    } catch (...) {
        if (fileNuovo) {
            destinazione.reset();
            for (const char* s : {"", "-wal", "-shm"})
                QFile::remove(a.file + QLatin1String(s));
        }
        throw;
    }
}

}  // namespace CopiaDatabase
