// The roll verification window: opened by Verifica1 once the roll file was
// found at start, its buttons, "Importa" with the progress bar and the
// standard error box, "Stampa" and "Lettere" in the preview, the spreadsheet
// export it makes available; the dossier's "Lettera".

#include "Ambiente.h"
#include "AnteprimaReport.h"
#include "Esportatore.h"
#include "Messaggi.h"
#include "PulsanteFigura.h"
#include "Query.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "RegistroEsportatori.h"
#include "VistaPagine.h"
#include "frDocumenti.h"
#include "frMain.h"
#include "frVerifica.h"

#include <QAction>
#include <QProgressBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TestVerificaFinestra : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<TdImmagini> immagini;
    std::unique_ptr<TfMain> w;

    QString fileRuolo() const { return amb->dir.filePath(QStringLiteral("xfer/rsutot.txt")); }
    static QString riga(const QString& codice, const QString& cognome, const QString& nome, const QString& nData)
    {
        return codice.rightJustified(6) + cognome.leftJustified(30) + nome.leftJustified(30) + nData.leftJustified(10) +
               QString(16, QLatin1Char(' ')) + QStringLiteral("    70");
    }
    void scriviRuolo(const QStringList& righe)
    {
        ScriviFileTesto(fileRuolo(), righe.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    QStringList codiciCaricati()
    {
        const auto db = amb->connessione();
        Comando c = db->prepara(QStringLiteral("SELECT Codice, Presente FROM tRsuTot ORDER BY rowid"));
        QStringList r;
        while (c.passo())
            r << c.testo(0) + c.testo(1);
        return r;
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
    }

    // Runs `fai` on the verification window once Verifica1 has shown it
    // modally; `fai` closes it (or the test fails by timeout).
    void conFinestra(const std::function<void(TfVerifica*)>& fai)
    {
        bool fatto = false;
        std::function<void(int)> prova = [&](int tentativi) {
            auto* v = qobject_cast<TfVerifica*>(QApplication::activeModalWidget());
            if (!v) {
                if (tentativi > 0)
                    QTimer::singleShot(10, this, [&, tentativi] { prova(tentativi - 1); });
                return;
            }
            fai(v);
            fatto = true;
            if (v->isVisible())
                v->reject();
        };
        QTimer::singleShot(0, this, [&] { prova(300); });
        w->Verifica1->trigger();
        QVERIFY(fatto);
    }

    // Runs `fai` on the next preview once it is shown modally, then closes
    // it; returns the texts of its pages joined, or "<nessuna anteprima>".
    QString conAnteprima(const std::function<void()>& apri, const std::function<void(AnteprimaReport*)>& fai = {})
    {
        QString testo = QStringLiteral("<nessuna anteprima>");
        std::function<void(int)> prova = [&](int tentativi) {
            auto* a = qobject_cast<AnteprimaReport*>(QApplication::activeModalWidget());
            if (!a) {
                if (tentativi > 0)
                    QTimer::singleShot(10, this, [&, tentativi] { prova(tentativi - 1); });
                return;
            }
            QStringList t;
            for (const auto& p : a->vista->report()->pagine)
                for (const Primitiva& x : p.primitive)
                    if (const auto* tp = std::get_if<TestoPreparato>(&x))
                        t.append(tp->stampato());
            testo = t.join(QLatin1Char('|'));
            if (fai)
                fai(a);
            a->reject();
        };
        QTimer::singleShot(0, this, [&] { prova(300); });
        apri();
        return testo;
    }

private Q_SLOTS:
    void init()
    {
        Messaggi::simula(true);
        amb = std::make_unique<Ambiente>();
        amb->codice(QStringLiteral("G479"));
        amb->soggetto(QStringLiteral("G479"), 1, 7, QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                      QStringLiteral("RSSMRA50B01G479X"), QStringLiteral("1950-02-01"));
        amb->soggetto(QStringLiteral("G479"), 2, 8, QStringLiteral("BIANCHI"), QStringLiteral("ANNA"),
                      QStringLiteral("BNCNNA60D43G479Z"), QStringLiteral("1960-04-03"));
        amb->sql(QStringLiteral("INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Superficie) VALUES "
                                "('G479', '', 1, 1, 101)"));
        QDir().mkpath(amb->dir.filePath(QStringLiteral("xfer")));
    }
    void cleanup()
    {
        w.reset();
        immagini.reset();
        dati.reset();
        amb.reset();
    }

    void verifica1SeguitoIlFileDelRuolo()
    {
        avvia();
        QVERIFY(!w->Verifica1->isEnabled());
        cleanup();
        init();
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"))});
        avvia();
        QVERIFY(w->Verifica1->isEnabled());
        // the probe is not repeated: a file gone meanwhile leaves the action enabled
        QFile::remove(fileRuolo());
        QVERIFY(w->Verifica1->isEnabled());
    }

    void finestra()
    {
        scriviRuolo({QString()});
        avvia();
        TfVerifica* prima = nullptr;
        conFinestra([&](TfVerifica* v) {
            prima = v;
            QCOMPARE(v->windowTitle(), QStringLiteral("Tabulato di controllo dati metrici"));
            QCOMPARE(v->size(), QSize(514, 109));
            QCOMPARE(v->minimumSize(), v->maximumSize());
            QVERIFY(v->isModal());
            QCOMPARE(v->font().pointSize(), 8);
            struct Atteso {
                PulsanteFigura* b;
                const char* testo;
                const char* suggerimento;
                int x;
                bool abilitato;
            } attesi[] = {
                {v->BitBtn1, "Importa", "Importa file per il confronto con i dati catastali", 16, true},
                {v->BitBtn2, "Stampa", "Stampa risultato del confronto con i dati catastali", 120, true},
                {v->BitBtn4, "Lettere", "Stampa lettere di comunicazione", 224, true},
                {v->BitBtn3, "Chiudi", "", 400, true},
            };
            for (const Atteso& a : attesi) {
                QCOMPARE(a.b->text(), QString::fromUtf8(a.testo));
                QCOMPARE(a.b->toolTip(), QString::fromUtf8(a.suggerimento));
                QCOMPARE(a.b->geometry(), QRect(a.x, 24, 97, 49));
                QCOMPARE(a.b->isEnabled(), a.abilitato);
                QVERIFY(!a.b->icon().isNull());
            }
            // each picture of its own, with a disabled form
            const QImage importa = v->BitBtn1->icon().pixmap(32, 32).toImage();
            QVERIFY(importa != v->BitBtn2->icon().pixmap(32, 32).toImage());
            QVERIFY(v->BitBtn2->icon().pixmap(32, 32, QIcon::Disabled).toImage() !=
                    v->BitBtn2->icon().pixmap(32, 32, QIcon::Normal).toImage());
            // the pressed picture while "Importa" is held down
            QTest::mousePress(v->BitBtn1, Qt::LeftButton);
            QVERIFY(v->BitBtn1->icon().pixmap(32, 32).toImage() != importa);
            QTest::mouseRelease(v->BitBtn1, Qt::LeftButton);  // a click: loads the one empty line
            QCOMPARE(v->BitBtn1->icon().pixmap(32, 32).toImage(), importa);
            QCOMPARE(codiciCaricati(), QStringList{QStringLiteral("*")});

            QVERIFY(!v->ProgressBar1->isVisible());
            QCOMPARE(v->ProgressBar1->geometry(), QRect(0, 109 - 16, 514, 16));
            // keyboard order: Importa, Stampa, Chiudi, Lettere
            QCOMPARE(v->BitBtn1->nextInFocusChain(), v->BitBtn2);
            QCOMPARE(v->BitBtn2->nextInFocusChain(), v->BitBtn3);
            QCOMPARE(v->BitBtn3->nextInFocusChain(), v->BitBtn4);
            // Escape closes, hiding the window
            QTest::keyClick(v, Qt::Key_Escape);
            QVERIFY(!v->isVisible());
        });
        QCOMPARE(w->fVerifica(), prima);
        // the same window the second time; "Chiudi" closes it too
        conFinestra([&](TfVerifica* v) {
            QCOMPARE(v, prima);
            QTest::mouseClick(v->BitBtn3, Qt::LeftButton);
            QVERIFY(!v->isVisible());
        });
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void importa()
    {
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960")),
                     riga(QStringLiteral("2"), QStringLiteral("NERI"), QStringLiteral("PIA"), QString()),
                     riga(QStringLiteral("3"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"))});
        avvia();
        w->ADOQuery1().ultimo();
        conFinestra([&](TfVerifica* v) {
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            QVERIFY(Messaggi::mostrati().isEmpty());
            QCOMPARE(v->ProgressBar1->maximum(), 3);  // the counted lines
            QVERIFY(!v->ProgressBar1->isVisible());
            QVERIFY(!QGuiApplication::overrideCursor());
            QVERIFY(v->isVisible());
        });
        QCOMPARE(codiciCaricati(), (QStringList{QStringLiteral("1"), QStringLiteral("2*"), QStringLiteral("3")}));
        // the owner list stands on its first row, and its grid shows it
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);

        // a bad line: the standard error box names it; the previous load stays
        scriviRuolo({riga(QStringLiteral("4"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950")),
                     riga(QStringLiteral("5x"), QStringLiteral("NERI"), QStringLiteral("PIA"), QString())});
        w->ADOQuery1().ultimo();
        conFinestra([&](TfVerifica* v) {
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            QCOMPARE(Messaggi::mostrati().size(), 1);
            QCOMPARE(Messaggi::mostrati()[0].titolo, QStringLiteral("Sorvel"));
            const QString testo = Messaggi::mostrati()[0].testo;
            QVERIFY2(testo.startsWith(QStringLiteral("Riga 2: ")) && testo.contains(QStringLiteral("'    5x'")) &&
                         testo.contains(QStringLiteral("Codice")) && testo.endsWith(QLatin1Char('.')),
                     qPrintable(testo));
            QVERIFY(!v->ProgressBar1->isVisible());
            QVERIFY(!QGuiApplication::overrideCursor());
        });
        QCOMPARE(codiciCaricati(), (QStringList{QStringLiteral("1"), QStringLiteral("2*"), QStringLiteral("3")}));
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);
    }

    void stampaDopoUnNuovoCaricamento()
    {
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"))});
        avvia();
        conFinestra([&](TfVerifica* v) {
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            const QString prima = conAnteprima([&] { QTest::mouseClick(v->BitBtn2, Qt::LeftButton); });
            QVERIFY2(prima.contains(QStringLiteral("ROSSI MARIO")), qPrintable(prima));
            scriviRuolo({riga(QStringLiteral("2"), QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960"))});
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            const QString dopo = conAnteprima([&] { QTest::mouseClick(v->BitBtn2, Qt::LeftButton); });
            QVERIFY2(dopo.contains(QStringLiteral("BIANCHI ANNA")) && !dopo.contains(QStringLiteral("ROSSI MARIO")),
                     qPrintable(dopo));
            QVERIFY(Messaggi::mostrati().isEmpty());
            QVERIFY(!QGuiApplication::overrideCursor());
        });
    }

    // No preview offers an export before the verification window exists;
    // every preview offers the spreadsheet from its first opening on.
    void foglioDiCalcoloDallaPrimaApertura()
    {
        RegistroEsportatori::svuota();
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"))});
        avvia();
        bool offerta = true;
        conAnteprima([&] { w->Stampa1->trigger(); }, [&](AnteprimaReport* a) { offerta = a->Esporta != nullptr; });
        QVERIFY(!offerta);
        conFinestra([&](TfVerifica* v) {
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            // from the listing's own preview: the chosen pages into an XLSX file
            conAnteprima([&] { QTest::mouseClick(v->BitBtn2, Qt::LeftButton); },
                         [&](AnteprimaReport* a) {
                             QVERIFY(a->Esporta != nullptr);
                             a->chiediEsportazione = [&](const Esportatore&) {
                                 return AnteprimaReport::SceltaEsportazione{
                                     amb->dir.filePath(QStringLiteral("tabulato.xlsx")), {1}};
                             };
                             a->Esporta->trigger();
                         });
        });
        QVERIFY(QFileInfo(amb->dir.filePath(QStringLiteral("tabulato.xlsx"))).size() > 0);
        QString nome;
        conAnteprima([&] { w->Stampa1->trigger(); }, [&](AnteprimaReport* a) {
            nome = a->Esporta ? a->Esporta->toolTip() : QString();
        });
        QCOMPARE(nome, QStringLiteral("Esporta il report: Foglio di calcolo Excel"));
        QVERIFY(Messaggi::mostrati().isEmpty());
    }

    void lettereEunFilePerContribuente()
    {
        // ROSSI: 101 m², 70 declared: 81 and 11, a letter; BIANCHI has no surface: none
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950")),
                     riga(QStringLiteral("2"), QStringLiteral("BIANCHI"), QStringLiteral("ANNA"), QStringLiteral("03/04/1960"))});
        avvia();
        const QString cartella = amb->dir.filePath(QStringLiteral("pec"));
        conFinestra([&](TfVerifica* v) {
            QTest::mouseClick(v->BitBtn1, Qt::LeftButton);
            v->chiediCartellaLettere = [&](QWidget*) { return cartella; };
            const QString t = conAnteprima([&] { QTest::mouseClick(v->BitBtn4, Qt::LeftButton); },
                                           [&](AnteprimaReport* a) {
                                               auto* salva = a->findChild<QAction*>(QStringLiteral("SalvaLettere"));
                                               QVERIFY(salva && salva->isEnabled());
                                               QCOMPARE(salva->text(), QStringLiteral("Salva una lettera per contribuente..."));
                                               salva->trigger();
                                           });
            QVERIFY2(t.contains(QStringLiteral("ROSSI MARIO")) && !t.contains(QStringLiteral("BIANCHI ANNA")), qPrintable(t));
            QVERIFY(!v->frxReport2().AQSoggetto.aperto());  // open only while the letters are prepared
        });
        QCOMPARE(QDir(cartella).entryList(QDir::Files), QStringList{QStringLiteral("1-ROSSI MARIO.pdf")});
        QVERIFY(Messaggi::mostrati().isEmpty());
    }

    // "Lettera" prints the dossier's own owner, also when the cadastral
    // search opened the dossier and the owner list stands on someone else.
    void letteraDelDossier()
    {
        scriviRuolo({riga(QStringLiteral("1"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("01/02/1950"))});
        avvia();
        conFinestra([&](TfVerifica* v) { QTest::mouseClick(v->BitBtn1, Qt::LeftButton); });
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Denominazione"), {QStringLiteral("BIANCHI")},
                                      {.ignoraMaiuscole = true, .chiaveParziale = true}));
        TfDocumenti d(*dati, w.get());
        d.NumSoggetto = 7;
        d.Tag = 1;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.Lettera->isEnabled());
        QVERIFY(!d.Lettera->icon().isNull());
        const QString t = conAnteprima([&] { QTest::mouseClick(d.Lettera, Qt::LeftButton); });
        QVERIFY2(t.contains(QStringLiteral("Sig. ROSSI MARIO")), qPrintable(t));
        QVERIFY(t.contains(QStringLiteral("Maggiore superficie accertabile:|11")));
        QVERIFY(Messaggi::mostrati().isEmpty());
    }
};

QTEST_MAIN(TestVerificaFinestra)
#include "test_verifica_finestra.moc"
