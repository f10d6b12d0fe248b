// The grid model: the grid follows the data set's cursor, except while its
// moves are quiet; then it catches up once, on the final row.

#include "Ambiente.h"
#include "ModelloDati.h"
#include "Query.h"
#include "dmTabelle.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

class TestModello : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mosseSilenziose()
    {
        Ambiente amb;
        amb.codice(QStringLiteral("G479"));
        for (int i = 0; i < 200; ++i)
            amb.soggetto(QStringLiteral("G479"), i, 1000 + i, QStringLiteral("COGNOME%1").arg(i, 3, 10, QLatin1Char('0')),
                         QStringLiteral("NOME"), QStringLiteral("CF%1").arg(i));
        TdTabelle dati;
        dati.DataModuleCreate();
        Query elenco(dati.ADOConnection1, QStringLiteral("elenco"));
        elenco.sql = {QStringLiteral("SELECT Soggetto, Denominazione FROM tUnImm5_6 ORDER BY Soggetto")};
        elenco.apri();
        QTableView vista;
        ModelloDati modello(elenco, {{QStringLiteral("Denominazione"), QStringLiteral("Denominazione"), 200}});
        modello.collega(&vista);
        vista.resize(300, 200);
        vista.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vista));

        // followed: every move moves the grid
        elenco.vaiA(5);
        QCOMPARE(vista.currentIndex().row(), 5);

        QSignalSpy intestazione(&modello, &QAbstractItemModel::headerDataChanged);
        QSignalSpy corrente(vista.selectionModel(), &QItemSelectionModel::currentRowChanged);
        QSignalSpy reset(&modello, &QAbstractItemModel::modelReset);
        {
            SeguitoSospeso quieto(elenco);
            for (int i = 0; i < 1000; ++i)
                QVERIFY(elenco.Locate(QStringLiteral("Soggetto"), {1000 + (i * 37) % 200}));
            elenco.vaiA(150);
            QCOMPARE(vista.currentIndex().row(), 5);  // the grid stayed
            QCOMPARE(intestazione.count(), 0);
            QCOMPARE(corrente.count(), 0);
        }
        // one catch-up, on the row the data set stands on
        QCOMPARE(vista.currentIndex().row(), 150);
        QCOMPARE(corrente.count(), 1);
        QVERIFY(intestazione.count() <= 2);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(modello.headerData(150, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("\u25B6"));

        // rows reloaded while quiet: one reset at the end
        {
            SeguitoSospeso quieto(elenco);
            elenco.chiudi();
            elenco.apri();
            elenco.vaiA(7);
            QCOMPARE(reset.count(), 0);
        }
        QCOMPARE(reset.count(), 1);
        QCOMPARE(vista.currentIndex().row(), 7);
    }
};

QTEST_MAIN(TestModello)
#include "test_modello.moc"
