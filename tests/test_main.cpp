// The main window: owner list, incremental search, keyboard rules, refresh
// after new parameters, the roll-file probe.

#include "Ambiente.h"
#include "Query.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "Messaggi.h"
#include "frMain.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

class TestMain : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<TdImmagini> immagini;
    std::unique_ptr<TfMain> w;

    QString soggetto() const { return w->ADOQuery1().testo(u"Denominazione"); }

    void avvia()
    {
        dati = std::make_unique<TdTabelle>();
        w = std::make_unique<TfMain>();
        dati->DataModuleCreate();
        immagini = std::make_unique<TdImmagini>();
        w->collegaModuli(*dati, *immagini);
        w->show();
        QApplication::setActiveWindow(w.get());
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        for (const auto& m : Messaggi::mostrati())
            qWarning() << "messaggio:" << m.titolo << m.testo;
        QVERIFY(Messaggi::mostrati().isEmpty());
    }

private Q_SLOTS:
    void init()
    {
        Messaggi::simula(true);
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        int i = 0;
        for (const char* n : {"VERDI ANNA", "ROSSI MARIO", "ROSA LUCIA", "BIANCHI PAOLO", "ROSSINI GINO", "ROSSI MARIO"}) {
            const QStringList p = QString::fromLatin1(n).split(QLatin1Char(' '));
            // the same owner on two units is one row of the list
            const int sogg = QString::fromLatin1(n) == QLatin1String("ROSSI MARIO") ? 7 : 100 + i;
            amb->soggetto(QStringLiteral("G479"), ++i, sogg, p[0], p[1], p[0].left(3) + p[1].left(3) + QStringLiteral("70"));
        }
        amb->soggetto(QStringLiteral("H501"), 50, 500, QStringLiteral("ROMANI"), QStringLiteral("ADA"), QStringLiteral("RMNADA"));
    }
    void cleanup()
    {
        w.reset();
        immagini.reset();
        dati.reset();
        amb.reset();
    }

    void elencoEGriglia()
    {
        avvia();
        QCOMPARE(w->windowTitle(), QStringLiteral("Gestione dati Agenzia del Territorio"));
        QCOMPARE(w->ADOQuery1().righe(), 5);  // Rome's owner is filtered out
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QCOMPARE(soggetto(), QStringLiteral("BIANCHI PAOLO"));
        auto* m = w->DBGrid1->model();
        QCOMPARE(m->columnCount(), 4);
        const QStringList titoli{QStringLiteral("Denominazione"), QStringLiteral("Data nasc."),
                                 QStringLiteral("Luogo di nascita"), QStringLiteral("Codice fiscale")};
        const int larghezze[] = {350, 69, 200, 115};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), titoli[c]);
            QCOMPARE(w->DBGrid1->columnWidth(c), larghezze[c]);
        }
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("02/01/1970"));
        QCOMPARE(m->index(0, 2).data().toString().trimmed(), QStringLiteral("ROMA"));
        QVERIFY(m->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter);
        QVERIFY(!w->Verifica1->isEnabled());
        QVERIFY(w->DataSetFirst1->isEnabled());
    }

    void ricercaPerNome()
    {
        avvia();
        QTest::keyClicks(w->Edit1, QStringLiteral("ros"));
        QCOMPARE(w->Edit1->text(), QStringLiteral("ROS"));  // forced upper case
        QCOMPARE(soggetto(), QStringLiteral("ROSA LUCIA"));
        QCOMPARE(w->DBGrid1->currentIndex().row(), w->ADOQuery1().rigaCorrente());
        QTest::keyClicks(w->Edit1, QStringLiteral("s"));
        QCOMPARE(soggetto(), QStringLiteral("ROSSI MARIO"));
        QTest::keyClicks(w->Edit1, QStringLiteral("Z"));  // matches nothing: the cursor stays
        QCOMPARE(soggetto(), QStringLiteral("ROSSI MARIO"));
        w->Edit1->clear();
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QTest::keyClicks(w->Edit1, QStringLiteral("ROM"));  // ROMANI is another municipality's owner
        QCOMPARE(soggetto(), QStringLiteral("ROSA LUCIA"));  // where "RO" had left the cursor
    }

    void ricercaPerCodiceFiscale()
    {
        avvia();
        w->Edit1->setFocus();
        QTest::keyClicks(w->Edit1, QStringLiteral("VER"));
        QCOMPARE(soggetto(), QStringLiteral("VERDI ANNA"));
        w->Edit2->setFocus();  // entering the tax-code box empties the name box
        QTRY_COMPARE(w->Edit1->text(), QString());
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QTest::keyClicks(w->Edit2, QStringLiteral("rosmar"));
        QCOMPARE(soggetto(), QStringLiteral("ROSSI MARIO"));
        w->Edit1->setFocus();
        QTRY_COMPARE(w->Edit2->text(), QString());
    }

    void unCarattereNellaGrigliaCercaPerNome()
    {
        avvia();
        w->Edit2->setFocus();
        QTest::keyClicks(w->Edit2, QStringLiteral("BIA"));
        w->DBGrid1->setFocus();
        QTRY_VERIFY(w->DBGrid1->hasFocus());
        QTest::keyClick(w->DBGrid1, Qt::Key_V, Qt::NoModifier);
        QTRY_VERIFY(w->Edit1->hasFocus());
        QCOMPARE(w->Edit1->text(), QStringLiteral("V"));
        QCOMPARE(w->Edit1->cursorPosition(), 1);
        QCOMPARE(w->Edit2->text(), QString());
        QCOMPARE(soggetto(), QStringLiteral("VERDI ANNA"));
    }

    void invioApreIDocumenti()
    {
        avvia();
        w->Documenti1->setEnabled(true);
        QStringList aperti;
        connect(w->Documenti1, &QAction::triggered, this, [&] { aperti << soggetto(); });
        w->Edit1->setFocus();
        QTest::keyClicks(w->Edit1, QStringLiteral("ROSSIN"));
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        w->DBGrid1->setFocus();
        QTRY_VERIFY(w->DBGrid1->hasFocus());
        w->DataSetFirst1->trigger();
        QTest::keyClick(w->DBGrid1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(aperti, (QStringList{QStringLiteral("ROSSINI GINO"), QStringLiteral("BIANCHI PAOLO")}));
    }

    void navigazione()
    {
        avvia();
        w->DataSetLast1->trigger();
        QCOMPARE(soggetto(), QStringLiteral("VERDI ANNA"));
        QCOMPARE(w->DBGrid1->currentIndex().row(), 4);
        w->DataSetPrior1->trigger();
        QCOMPARE(soggetto(), QStringLiteral("ROSSINI GINO"));
        w->DataSetFirst1->trigger();
        w->DataSetNext1->trigger();
        QCOMPARE(soggetto(), QStringLiteral("ROSA LUCIA"));
        // clicking a row moves the list's cursor
        w->DBGrid1->setCurrentIndex(w->DBGrid1->model()->index(3, 0));
        QCOMPARE(soggetto(), QStringLiteral("ROSSINI GINO"));
    }

    void aggiornaDopoParametri()
    {
        avvia();
        w->DataSetLast1->trigger();
        amb->codice(QStringLiteral("H501"));
        dati->tParametri.chiudi();
        dati->tParametri.apri();
        w->AggiornaDopoParametri();
        QCOMPARE(w->ADOQuery1().righe(), 1);
        QCOMPARE(soggetto(), QStringLiteral("ROMANI ADA"));
        QCOMPARE(dati->tUnImm5_6.righe(), 1);
        // unchanged parameters still reopen the list on its first row
        amb->codice(QStringLiteral("G479"));
        dati->tParametri.chiudi();
        dati->tParametri.apri();
        w->AggiornaDopoParametri();
        w->DataSetLast1->trigger();
        w->AggiornaDopoParametri();
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QCOMPARE(w->ADOQuery1().righe(), 5);
    }

    void fileDelRuolo()
    {
        QDir().mkpath(amb->dir.filePath(QStringLiteral("xfer")));
        avvia();
        QVERIFY(!w->fileRuoloPresente());
        cleanup();
        init();
        QDir().mkpath(amb->dir.filePath(QStringLiteral("xfer")));
        ScriviFileTesto(amb->dir.filePath(QStringLiteral("xfer/rsutot.txt")), QStringLiteral("x\r\n"));
        avvia();
        QVERIFY(w->fileRuoloPresente());
    }

    void importDaFinestra()
    {
        avvia();
        QVERIFY(w->Import1->isEnabled());
        const QString file = amb->dir.filePath(QStringLiteral("f.txt"));
        auto scrivi = [&](const QString& righe) { ScriviFileTesto(file, righe); };
        w->OpenDialog1 = [&] { return file; };
        scrivi(QStringLiteral("G479||9|1|5|9|ZANETTI|ÈVA|2||||||||\r\nG479||9|30112026|8|\r\n"));

        // no file chosen: nothing at all
        w->OpenDialog1 = [] { return QString(); };
        w->Import1->trigger();
        QVERIFY(Messaggi::mostrati().isEmpty());
        w->OpenDialog1 = [&] { return file; };

        // "No" changes nothing
        Messaggi::simula(true, QMessageBox::No);
        w->Import1->trigger();
        QCOMPARE(Messaggi::mostrati().size(), 1);
        QCOMPARE(Messaggi::mostrati()[0].titolo, QStringLiteral("Conferma"));
        QCOMPARE(Messaggi::mostrati()[0].testo, QStringLiteral("Verranno azzerati e ricreati gli archivi, continuo?"));
        QCOMPARE(w->ADOQuery1().righe(), 5);

        Messaggi::simula(true, QMessageBox::Yes);
        w->Import1->trigger();
        QCOMPARE(Messaggi::mostrati().size(), 1);
        QCOMPARE(w->ADOQuery1().righe(), 1);
        QCOMPARE(soggetto(), QStringLiteral("ZANETTI ÈVA"));
        QVERIFY(!w->ProgressBar1->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());

        // another municipality's file: the error box, nothing changed, the list back
        scrivi(QStringLiteral("H501||9|30112026|8|\r\n"));
        Messaggi::simula(true, QMessageBox::Yes);
        w->Import1->trigger();
        QCOMPARE(Messaggi::mostrati().size(), 2);
        QCOMPARE(Messaggi::mostrati()[1].titolo, QStringLiteral("Errore"));
        QCOMPARE(Messaggi::mostrati()[1].testo, QStringLiteral("Il codice Comune non corrisponde. Import interrotto."));
        QCOMPARE(soggetto(), QStringLiteral("ZANETTI ÈVA"));

        // a bad line: the standard error box names it; the old supply stays
        scrivi(QStringLiteral("G479||9|1|5|X9|ROSSI|ADA|||||||||\r\nG479||9|30112026|8|\r\n"));
        Messaggi::simula(true, QMessageBox::Yes);
        w->Import1->trigger();
        QCOMPARE(Messaggi::mostrati().size(), 2);
        QCOMPARE(Messaggi::mostrati()[1].titolo, QStringLiteral("Sorvel"));
        QVERIFY(Messaggi::mostrati()[1].testo.startsWith(QStringLiteral("Riga 1: ")));
        QVERIFY(Messaggi::mostrati()[1].testo.endsWith(QLatin1Char('.')));
        QCOMPARE(w->ADOQuery1().righe(), 1);
        QCOMPARE(soggetto(), QStringLiteral("ZANETTI ÈVA"));
        QVERIFY(!w->ProgressBar1->isVisible());
    }

    void elencoVuoto()
    {
        amb->codice(QStringLiteral("Z999"));
        avvia();
        QCOMPARE(w->ADOQuery1().righe(), 0);
        QTest::keyClicks(w->Edit1, QStringLiteral("A"));
        w->DataSetNext1->trigger();
        QCOMPARE(w->ADOQuery1().rigaCorrente(), -1);
        QCOMPARE(w->ADOQuery1().intero(u"Soggetto"), 0);
    }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"
