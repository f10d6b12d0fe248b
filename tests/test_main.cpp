// The main window: owner list, incremental search, keyboard rules, refresh
// after new parameters, the roll-file probe.

#include "Ambiente.h"
#include "Query.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "Messaggi.h"
#include "frMain.h"
#include "frDocumenti.h"
#include "GrigliaAmbienti.h"

#include "Errore.h"
#include "FileTesto.h"

#include <QAction>
#include <QScreen>
#include <QShowEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TestMain : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<TdImmagini> immagini;
    std::unique_ptr<TfMain> w;

    QString soggetto() const { return w->ADOQuery1().testo(u"Denominazione"); }

    // What a dossier showed when it opened; it is closed at once.
    struct Visto {
        qint64 soggetto = -1;
        QString titolo;
        bool ruoloVisibile = false;
        QString ruolo, totale, accertabile;
        int unita = 0;
    };
    QList<Visto> dossierVisti;
    int generazione = 0;  // a new test drops the closers still waiting
    void chiudiDossier(int tentativi = 500)
    {
        QTimer::singleShot(0, this, [this, tentativi, g = generazione] {
            if (g != generazione)
                return;
            auto* d = qobject_cast<TfDocumenti*>(QApplication::activeModalWidget());
            if (!d) {
                if (tentativi > 0)
                    chiudiDossier(tentativi - 1);  // not shown yet
                return;
            }
            dossierVisti.append({d->NumSoggetto, d->windowTitle(), d->PannelloRuolo->isVisibleTo(d),
                                 d->Ruolo->text(), d->Totale->text(), d->Accertabile->text(),
                                 d->dossier().ADOQuery4.righe()});
            d->reject();
        });
    }

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
        ++generazione;
        dossierVisti.clear();
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
        w->Edit1->setFocus();
        QTest::keyClicks(w->Edit1, QStringLiteral("ROSSIN"));
        chiudiDossier();
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QApplication::setActiveWindow(w.get());
        w->DBGrid1->setFocus();
        QTRY_VERIFY(w->DBGrid1->hasFocus());
        w->DataSetFirst1->trigger();
        chiudiDossier();
        QTest::keyClick(w->DBGrid1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dossierVisti.size(), 2);
        QCOMPARE(dossierVisti[0].soggetto, qint64(104));
        QCOMPARE(dossierVisti[0].titolo, QStringLiteral("Documenti relativi a ROSSINI GINO - 02/01/1970 - ROSGIN70"));
        QCOMPARE(dossierVisti[1].titolo, QStringLiteral("Documenti relativi a BIANCHI PAOLO - 02/01/1970 - BIAPAO70"));
        TfDocumenti* primo = w->fDocumenti();
        chiudiDossier();
        w->Documenti1->trigger();
        QCOMPARE(w->fDocumenti(), primo);  // one window, reused
    }

    void dossierRuoloERicerca()
    {
        // units of owner 7 (ROSSI MARIO): 60 and 41 m²
        amb->sql(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
                                "('G479', '', 2, 1, 60), ('G479', '', 6, 1, 41)"));
        avvia();
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Soggetto"), {7}));
        chiudiDossier();
        w->Documenti1->trigger();
        QCOMPARE(dossierVisti.size(), 1);
        QCOMPARE(dossierVisti[0].totale, QStringLiteral("101"));
        QCOMPARE(dossierVisti[0].unita, 2);
        QVERIFY(!dossierVisti[0].ruoloVisibile);  // not the hand-off mode
        TfDocumenti* d = w->fDocumenti();
        for (int tag : {0, 1}) {
            d->Tag = tag;
            d->show();
            QCOMPARE(d->Ricerca->isEnabled(), tag == 0);
            d->hide();
        }
        // an empty list: owner 0, a caption with the separators only
        amb->codice(QStringLiteral("Z999"));
        dati->tParametri.chiudi();
        dati->tParametri.apri();
        w->AggiornaDopoParametri();
        chiudiDossier();
        w->Documenti1->trigger();
        QCOMPARE(dossierVisti[1].soggetto, qint64(0));
        QCOMPARE(dossierVisti[1].titolo, QStringLiteral("Documenti relativi a  -  - "));
        QCOMPARE(dossierVisti[1].unita, 0);
    }

    void grigliaAmbienti()
    {
        amb->sql(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES ('G479', '', 2, 1, 60);"
                                "INSERT INTO tUnImm4 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Ambiente, SupAmbiente, Altezza, MaxAltezza) VALUES "
                                "('G479', '', 2, 1, 1, 'A', 40, 270, 300), ('G479', '', 2, 1, 2, 'B', 10, 250, 250),"
                                "('G479', '', 2, 1, 3, 'G', 5, NULL, NULL), ('G479', '', 2, 1, 4, 'C', 3, 200, 200),"
                                "('G479', '', 2, 1, 5, 'D', 2, 0, 0)"));
        avvia();
        auto* d = new TfDocumenti(*dati, w.get());
        d->NumSoggetto = 7;
        d->show();
        GrigliaAmbienti* g = d->DBCtrlGrid1;
        QCOMPARE(g->testiPannello(0).mid(0, 3), (QStringList{QStringLiteral("40"), QStringLiteral("270"), QStringLiteral("300")}));
        QVERIFY(g->testiPannello(0)[3].startsWith(QStringLiteral("A) Vani")));
        QCOMPARE(g->testiPannello(2)[3], QString());  // G: no description
        QVERIFY(g->pannelloSelezionato(0));
        QCOMPARE(g->rigaPannello(3), 3);
        // the fifth room brings the next row of panels
        d->dossier().ADOQuery3.ultimo();
        QCOMPARE(g->rigaPannello(2), 4);
        QVERIFY(g->pannelloSelezionato(2));
        QCOMPARE(g->rigaPannello(3), -1);
        delete d;
    }

    void modalitaRichiesta()
    {
        auto scrivi = [&](const QString& cognome, const QString& nome, const QString& data, const QString& cf,
                          const QString& sup) {
            ScriviFileTesto(amb->dir.filePath(QStringLiteral("xfer/rsuter.txt")), cognome.leftJustified(30) + nome.leftJustified(30) + data.leftJustified(10) +
                                      cf.leftJustified(16) + sup + QStringLiteral("\r\n"));
        };
        struct Caso {
            const char* descrizione;
            bool richiesta;
            QString cognome, nome, data, cf, sup;
            qint64 soggetto;  // -1: no dossier
            bool termina;
        } casi[] = {
            {"per nome e data", true, QStringLiteral("rossi"), QStringLiteral("mario"), QStringLiteral("02/01/1970"), {},
             QStringLiteral("   120"), 7, true},
            {"per codice fiscale", true, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("03/01/1970"),
             QStringLiteral("VERANN70"), QStringLiteral("120   "), 100, true},
            {"nessuno: il programma finisce", true, QStringLiteral("NESSUNO"), {}, {}, QStringLiteral("ZZZ"), {}, -1, true},
            {"nessuna richiesta: uso normale", false, {}, {}, {}, {}, {}, -1, false},
        };
        for (const Caso& c : casi) {
            cleanup();
            init();
            QDir().mkpath(amb->dir.filePath(QStringLiteral("xfer")));
            if (c.richiesta)
                scrivi(c.cognome, c.nome, c.data, c.cf, c.sup);
            dossierVisti.clear();
            bool terminato = false;
            dati = std::make_unique<TdTabelle>();
            w = std::make_unique<TfMain>();
            dati->ModalitaS = true;
            dati->DataModuleCreate();
            immagini = std::make_unique<TdImmagini>();
            w->collegaModuli(*dati, *immagini);
            w->terminaApplicazione = [&] { terminato = true; };
            chiudiDossier();
            w->show();
            QCOMPARE(terminato, c.termina);
            if (c.soggetto < 0) {
                QVERIFY2(dossierVisti.isEmpty(), c.descrizione);
                continue;
            }
            QCOMPARE(dossierVisti.size(), 1);
            QCOMPARE(dossierVisti[0].soggetto, c.soggetto);
            QVERIFY(dossierVisti[0].ruoloVisibile);
            QCOMPARE(dossierVisti[0].ruolo, QString::number(c.sup.startsWith(QLatin1Char(' ')) ? 120 : 0));
        }
        // without a request the dossiers still show the roll panel, declared surface 0
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Soggetto"), {7}));
        chiudiDossier();
        w->Documenti1->trigger();
        QCOMPARE(dossierVisti.size(), 1);
        QVERIFY(dossierVisti[0].ruoloVisibile);
        QCOMPARE(dossierVisti[0].ruolo, QStringLiteral("0"));
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

    void unErroreFermaLaSequenzaDiApertura()
    {
        // the owner list cannot open (tComuni gone): no hand-off run, no probe
        QDir().mkpath(amb->dir.filePath(QStringLiteral("xfer")));
        ScriviFileTesto(amb->dir.filePath(QStringLiteral("xfer/rsutot.txt")), QStringLiteral("x\r\n"));
        ScriviFileTesto(amb->dir.filePath(QStringLiteral("xfer/rsuter.txt")), QStringLiteral("NESSUNO\r\n"));
        amb->sql(QStringLiteral("DROP TABLE tComuni"));
        dati = std::make_unique<TdTabelle>();
        w = std::make_unique<TfMain>();
        dati->ModalitaS = true;
        QVERIFY_THROWS_EXCEPTION(Errore, dati->DataModuleCreate());
        immagini = std::make_unique<TdImmagini>();
        w->collegaModuli(*dati, *immagini);
        bool terminato = false;
        w->terminaApplicazione = [&] { terminato = true; };
        w->show();
        QCOMPARE(Messaggi::mostrati().size(), 1);
        QVERIFY(Messaggi::mostrati()[0].testo.contains(QStringLiteral("tComuni")));
        QVERIFY(!terminato);
        QVERIFY(!w->fileRuoloPresente());
    }

    void finestreCentrateECursori()
    {
        amb->sql(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
                                "('G479', '', 2, 1, 60), ('G479', '', 6, 1, 41)"));
        avvia();
        const QPoint centro = w->screen()->availableGeometry().center();
        QVERIFY((w->frameGeometry().center() - centro).manhattanLength() <= 2);
        auto* d = new TfDocumenti(*dati, w.get());
        d->NumSoggetto = 7;
        d->move(0, 0);
        d->show();
        QVERIFY((d->frameGeometry().center() - centro).manhattanLength() <= 2);
        // a restore from minimised is no new showing: the selected unit stays
        d->dossier().ADOQuery4.ultimo();
        QCOMPARE(d->dossier().ADOQuery4.rigaCorrente(), 1);
        d->showMinimized();
        QTest::qWait(10);
        d->showNormal();
        QTest::qWait(10);
        QCOMPARE(d->dossier().ADOQuery4.rigaCorrente(), 1);
        d->hide();
        d->show();  // a real showing starts over
        QCOMPARE(d->dossier().ADOQuery4.rigaCorrente(), 0);
        delete d;

        // two distinct waiting cursors
        const QCursor sql = cursore(Cursore::SQLWait), clessidra = cursore(Cursore::HourGlass);
        QCOMPARE(clessidra.shape(), Qt::WaitCursor);
        QCOMPARE(sql.shape(), Qt::BitmapCursor);
        {
            CursoreAttesa attesa;
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
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
