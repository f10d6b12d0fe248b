// What every window shares: the grid model (the grid follows the data set's
// cursor, except while its moves are quiet; then it catches up once, on the
// final row) and the message boxes.

#include "Ambiente.h"
#include "Finestre.h"
#include "Messaggi.h"
#include "ModelloDati.h"
#include "Query.h"
#include "dmTabelle.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

class TestGui : public QObject {
    Q_OBJECT

    // Answers the next box with `risposta` once shown, keeping its texts.
    QString titolo, testo;
    QStringList pulsanti;
    void rispondi(QMessageBox::StandardButton risposta)
    {
        QTimer::singleShot(0, this, [=, this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                rispondi(risposta);
                return;
            }
            titolo = box->windowTitle();
            testo = box->text();
            pulsanti.clear();
            for (QAbstractButton* b : box->buttons())
                pulsanti << b->text();
            pulsanti.sort();
            box->button(risposta)->click();
        });
    }

private Q_SLOTS:
    void riquadriDeiMessaggi()
    {
        Messaggi::simula(false);
        // the standard error box: the text as it stands, a full stop added
        rispondi(QMessageBox::Ok);
        Messaggi::erroreStandard(nullptr, QStringLiteral("  Riga 3:  valore 'x'  "));
        QCOMPARE(titolo, QStringLiteral("Sorvel"));
        QCOMPARE(testo, QStringLiteral("  Riga 3:  valore 'x'  ."));
        QCOMPARE(pulsanti, QStringList{QStringLiteral("OK")});
        rispondi(QMessageBox::Ok);
        Messaggi::erroreStandard(nullptr, QStringLiteral("Fatto."));
        QCOMPARE(testo, QStringLiteral("Fatto."));

        // every button in Italian, "&Tutti" among them
        rispondi(Messaggi::Tutti);
        const auto r = Messaggi::mostra(nullptr, Messaggi::Tipo::Conferma, QStringLiteral("?"),
                                        QMessageBox::Yes | QMessageBox::No | Messaggi::Tutti | QMessageBox::NoToAll |
                                            QMessageBox::YesToAll | QMessageBox::Abort | QMessageBox::Retry |
                                            QMessageBox::Ignore | QMessageBox::Cancel | QMessageBox::Ok);
        QCOMPARE(r, Messaggi::Tutti);
        QCOMPARE(titolo, QStringLiteral("Conferma"));
        QStringList attesi{QStringLiteral("&Si"), QStringLiteral("&No"), QStringLiteral("&Tutti"),
                           QStringLiteral("N&o a Tutti"), QStringLiteral("Si a T&utti"), QStringLiteral("&Interrompi"),
                           QStringLiteral("&Riprova"), QStringLiteral("I&gnora"), QStringLiteral("Annulla"),
                           QStringLiteral("OK")};
        attesi.sort();
        QCOMPARE(pulsanti, attesi);
    }

    void traduzioniItaliane()
    {
        // Qt's own words (file dialog, standard buttons) come from its Italian translations
        QVERIFY(Finestre::linguaItaliana());
        QCOMPARE(QLocale().language(), QLocale::Italian);
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Cerca in:"));
    }

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

QTEST_MAIN(TestGui)
#include "test_gui.moc"
