#pragma once
// A fresh working directory with a delivered database for each test.

#include "Connessione.h"
#include "DatabaseConsegnato.h"
#include "FileTesto.h"

#include <QDir>
#include <ostream>
#include <QTemporaryDir>

// Readable test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct Ambiente {
    QTemporaryDir dir;
    QString prima = QDir::currentPath();

    explicit Ambiente(bool conDatabase = true)
    {
        QDir::setCurrent(dir.path());
        if (conDatabase) {
            DatabaseConsegnato::crea(QStringLiteral("sorvel.mdb"), false);
            ScriviFileTesto(QStringLiteral("sorvel.ini"),
                            QStringLiteral("Provider=SQLite; Data Source=sorvel.mdb\r\n"));
        }
        qputenv("SORVEL_XFER", dir.path().toUtf8() + "/xfer/");
    }
    ~Ambiente() { QDir::setCurrent(prima); }

    void sql(const QString& s)
    {
        Connessione db(dir.filePath(QStringLiteral("sorvel.mdb")), Connessione::Apertura::Esistente);
        db.esegui(s);
    }
    void codice(const QString& c)
    {
        QString q = c;
        q.replace(QLatin1Char('\''), QLatin1String("''"));
        sql(QStringLiteral("UPDATE tParametri SET Codice = '%1'").arg(q));
    }
    // One owner row of a unit.
    void soggetto(const QString& codice, int immobile, int soggetto, const QString& cognome, const QString& nome,
                  const QString& codFisc, const QString& nData = QStringLiteral("1970-01-02"))
    {
        Connessione db(dir.filePath(QStringLiteral("sorvel.mdb")), Connessione::Apertura::Esistente);
        Comando c = db.prepara(QStringLiteral(
            "INSERT INTO tUnImm5_6 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Tipo, Soggetto, Denominazione, "
            "Cognome, Nome, NData, NLuogo, CodFisc) VALUES (?, '', ?, 1, 1, 'F', ?, ?, ?, ?, ?, 'H501', ?)"));
        const QVariantList v{codice, immobile, soggetto, cognome + QLatin1Char(' ') + nome, cognome, nome, nData, codFisc};
        for (int i = 0; i < v.size(); ++i)
            c.lega(i + 1, v[i]);
        c.esegui();
    }
};
