// The municipality look-up, the parameters dialog and the cadastral search,
// driven as a clerk drives them, from the main window where it matters.

#include "CampoDati.h"
#include "Messaggi.h"
#include "Query.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "frCercaCom.h"
#include "frDocumenti.h"
#include "frMain.h"
#include "frParametri.h"
#include "frRicerca.h"
#include "UnitaDiProva.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

class TestLookup : public QObject {
    Q_OBJECT

    std::unique_ptr<Ambiente> amb;
    std::unique_ptr<TdTabelle> dati;
    std::unique_ptr<TdImmagini> immagini;
    std::unique_ptr<TfMain> w;
    int generazione = 0;  // a new test drops the helpers still waiting

    // Runs `f` on the modal window of type T once it shows, then closes it
    // if `f` left it open, so that a failed check never hangs the test.
    template <class T>
    void quandoAperta(std::function<void(T*)> f, int tentativi = 500)
    {
        QTimer::singleShot(0, this, [this, f, tentativi, g = generazione] {
            if (g != generazione)
                return;
            auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) {
                if (tentativi > 0)
                    quandoAperta<T>(f, tentativi - 1);
                return;
            }
            f(d);
            if (d->isVisible())
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
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void rileggiParametri()
    {
        dati->tParametri.chiudi();
        dati->tParametri.apri();
    }
    QString parametro(const char* campo) const { return dati->tParametri.testo(QString::fromLatin1(campo)); }
    static void scrivi(QLineEdit* e, const QString& testo)
    {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, testo);
    }
    static QString cella(QTableView* v, int riga, int colonna)
    {
        return v->model()->index(riga, colonna).data().toString();
    }

private Q_SLOTS:
    void init()
    {
        Messaggi::simula(true);
        amb = std::make_unique<Ambiente>();
        unitaDiProva(*amb);
        amb->sql(QStringLiteral("UPDATE tParametri SET Nome = 'PESARO', Firma = 'Il Sindaco'"));
    }
    void cleanup()
    {
        ++generazione;
        w.reset();
        immagini.reset();
        dati.reset();
        amb.reset();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // --- the municipality look-up ---------------------------------------------

    void cercaComune()
    {
        dati = std::make_unique<TdTabelle>();
        dati->DataModuleCreate();
        TfCercaCom c(*dati, nullptr);
        QCOMPARE(c.windowTitle(), QStringLiteral("Cerca"));
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QVERIFY(c.ADOQuery1.righe() > 7000);
        QCOMPARE(c.ADOQuery1.sql.value(2), QStringLiteral("WHERE  Nome LIKE '%'"));

        QTest::keyClicks(c.Edit1, QStringLiteral("rom"));
        QCOMPARE(c.Edit1->text(), QStringLiteral("ROM"));
        QCOMPARE(c.ADOQuery1.sql.value(2), QStringLiteral("WHERE Nome LIKE 'ROM%'"));
        QCOMPARE(c.ADOQuery1.righe(), 14);
        QCOMPARE(c.DBGrid1->currentIndex().row(), 0);
        QCOMPARE(c.CodiceScelto, QStringLiteral("H501"));
        QCOMPARE(c.NomeScelto, QStringLiteral("ROMA").leftJustified(35));  // as stored
        QCOMPARE(c.ProvinciaScelta, QStringLiteral("RM"));
        QCOMPARE(cella(c.DBGrid1, 2, 0).trimmed(), QStringLiteral("ROMAGNANO SESIA"));

        // Up on the first row stays; Down twice reaches the third; Enter gives OK
        QTest::keyClick(c.Edit1, Qt::Key_Up);
        QTest::keyClick(c.Edit1, Qt::Key_Down);
        QTest::keyClick(c.Edit1, Qt::Key_Down);
        QCOMPARE(c.DBGrid1->currentIndex().row(), 2);
        QTest::keyClick(c.Edit1, Qt::Key_Return);
        QCOMPARE(c.result(), int(QDialog::Accepted));
        QVERIFY(!c.isVisible());
        QVERIFY(!c.ADOQuery1.aperto());
        QCOMPARE(c.CodiceScelto, QStringLiteral("H502"));
        QCOMPARE(c.NomeScelto.trimmed(), QStringLiteral("ROMAGNANO SESIA"));
        QCOMPARE(c.ProvinciaScelta, QStringLiteral("NO"));

        // reopened after a search: an empty box, the full list, the focus in the box
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QCOMPARE(c.Edit1->text(), QString());
        QVERIFY(c.ADOQuery1.righe() > 7000);
        QTRY_VERIFY(c.Edit1->hasFocus());

        // an apostrophe is searched as typed
        QTest::keyClicks(c.Edit1, QStringLiteral("sant'ag"));
        QCOMPARE(c.ADOQuery1.sql.value(2), QStringLiteral("WHERE Nome LIKE 'SANT''AG%'"));
        QVERIFY(c.ADOQuery1.righe() > 3);
        QCOMPARE(c.NomeScelto.trimmed(), QStringLiteral("SANT'AGAPITO"));
        QVERIFY(Messaggi::mostrati().isEmpty());

        // nothing found: an empty list, the members keep the last row; Escape in the grid cancels
        QTest::keyClicks(c.Edit1, QStringLiteral("Q"));
        QVERIFY(c.ADOQuery1.vuoto());
        QCOMPARE(c.CodiceScelto, QStringLiteral("I189"));
        c.DBGrid1->setFocus();
        QTest::keyClick(c.DBGrid1, Qt::Key_Escape);
        QCOMPARE(c.result(), int(QDialog::Rejected));
        QVERIFY(!c.isVisible());

        // a double click on a row gives OK
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTest::keyClicks(c.Edit1, QStringLiteral("ROMET"));
        const QRect r = c.DBGrid1->visualRect(c.DBGrid1->model()->index(0, 0));
        QTest::mouseClick(c.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());  // the first click of the two
        QVERIFY(c.isVisible());
        QTest::mouseDClick(c.DBGrid1->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(c.result(), int(QDialog::Accepted));
        QCOMPARE(c.CodiceScelto, QStringLiteral("H519"));
    }

    // --- the parameters dialog --------------------------------------------------

    void parametriConfermaEChiudi()
    {
        avvia();
        QCOMPARE(w->ADOQuery1().righe(), 3);
        QVERIFY(w->Parametri1->isEnabled());

        // a typed name that exists wins over a typed code; blanks go
        bool vista = false;
        quandoAperta<TfParametri>([&](TfParametri* p) {
            vista = true;
            QCOMPARE(p->windowTitle(), QStringLiteral("Parametri di gestione"));
            QCOMPARE(p->DBEdit1->text(), QStringLiteral("PESARO"));
            QCOMPARE(p->DBEdit11->text(), QStringLiteral("Il Sindaco"));
            scrivi(p->DBEdit5, QStringLiteral("x999"));
            QCOMPARE(p->DBEdit5->text(), QStringLiteral("X999"));  // forced upper case
            scrivi(p->DBEdit1, QStringLiteral("  roma "));
            QCOMPARE(dati->tParametri.stato(), DataSet::Stato::Modifica);  // typing began the edit
            QTest::mouseClick(p->Conferma, Qt::LeftButton);
        });
        w->Parametri1->trigger();
        QVERIFY(vista);
        QCOMPARE(parametro("Nome"), QStringLiteral("ROMA"));
        QCOMPARE(parametro("Codice"), QStringLiteral("H501"));
        QCOMPARE(dati->tParametri.stato(), DataSet::Stato::Consultazione);
        // the main window follows the new municipality
        QCOMPARE(w->ADOQuery1().righe(), 1);
        QCOMPARE(w->ADOQuery1().testo(u"Denominazione"), QStringLiteral("ROMANI ADA"));

        // the look-up, then "Chiudi": the row stays as it was, the list is not refreshed
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Soggetto"), {51}));
        amb->sql(QStringLiteral("UPDATE tParametri SET Codice = 'G479', Nome = 'PESARO'"));
        rileggiParametri();
        w->AggiornaDopoParametri();
        w->DataSetLast1->trigger();
        QString nomeDopoRicerca, codiceDopoRicerca;
        quandoAperta<TfParametri>([&](TfParametri* p) {
            quandoAperta<TfCercaCom>([](TfCercaCom* c) {
                QTest::keyClicks(c->Edit1, QStringLiteral("ROM"));
                QTest::keyClick(c->Edit1, Qt::Key_Enter);
            });
            QTest::mouseClick(p->SpeedButton1, Qt::LeftButton);
            nomeDopoRicerca = p->DBEdit1->text();
            codiceDopoRicerca = p->DBEdit5->text();
            QTest::mouseClick(p->Chiudi, Qt::LeftButton);
        });
        w->Parametri1->trigger();
        QCOMPARE(nomeDopoRicerca, QStringLiteral("ROMA"));  // trimmed
        QCOMPARE(codiceDopoRicerca, QStringLiteral("H501"));
        QCOMPARE(parametro("Nome"), QStringLiteral("PESARO"));
        QCOMPARE(parametro("Codice"), QStringLiteral("G479"));
        QCOMPARE(dati->tParametri.stato(), DataSet::Stato::Consultazione);
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 2);

        // Escape cancels typing as well
        quandoAperta<TfParametri>([&](TfParametri* p) {
            QCOMPARE(p->DBEdit1->text(), QStringLiteral("PESARO"));  // the boxes show the row again
            scrivi(p->DBEdit8, QStringLiteral("via roma 1"));
            QTest::keyClick(p->DBEdit8, Qt::Key_Escape);
        });
        w->Parametri1->trigger();
        QCOMPARE(parametro("Indirizzo"), QString());

        // "Conferma" without changes (by Enter) writes nothing, yet the list is refreshed
        amb->sql(QStringLiteral("UPDATE tParametri SET Firma = 'altro processo'"));
        quandoAperta<TfParametri>([&](TfParametri* p) { QTest::keyClick(p->DBEdit1, Qt::Key_Return); });
        w->Parametri1->trigger();
        QCOMPARE(w->ADOQuery1().rigaCorrente(), 0);
        rileggiParametri();
        QCOMPARE(parametro("Firma"), QStringLiteral("altro processo"));
        QVERIFY(Messaggi::mostrati().isEmpty());
    }

    void parametriRiepilogoEForniture()
    {
        // the summarised municipality is not the list's first entry
        amb->sql(QStringLiteral(
            "INSERT INTO tUnImm9 (Codice, Sezione, TotUIU) VALUES ('A074', '', 1), ('H501', '', 1), ('Q000', '', 1);"
            "INSERT INTO tUnImm9 (Codice, Sezione, EData, TotUIU, Tipo1, Valore1, DesTipo1, Tipo2, Valore2, DesTipo2, "
            "Tipo3, Valore3, DesTipo3) VALUES ('G479', '', '2026-11-30', 8, '01', 300, 'Unità trattate', '', 5, "
            "'senza tipo', 'X', 12, 'Scartate')"));
        avvia();
        struct Visto {
            QString memo, data, uiu, riepilogo, mostrato;
            int voci = 0;
            DataSet::Stato stato = DataSet::Stato::Chiuso;
        };
        QList<Visto> visti;
        auto guarda = [&](TfParametri* p) {
            visti.append({p->Memo1->toPlainText(), p->DBEdit2->text(), p->DBEdit3->text(), p->CodiceRiepilogo,
                          p->DBLookupComboBox1->currentText().trimmed(), p->DBLookupComboBox1->count(),
                          dati->tParametri.stato()});
        };
        // picking the summarised municipality changes nothing; another one copies its code and name
        quandoAperta<TfParametri>([&](TfParametri* p) {
            guarda(p);
            QComboBox* l = p->DBLookupComboBox1;
            const int pesaro = l->findData(QStringLiteral("G479")), roma = l->findData(QStringLiteral("H501"));
            l->setCurrentIndex(pesaro);
            Q_EMIT l->activated(pesaro);
            guarda(p);
            l->setCurrentIndex(roma);
            Q_EMIT l->activated(roma);
            guarda(p);
            QCOMPARE(p->DBEdit5->text(), QStringLiteral("H501"));
            QCOMPARE(p->DBEdit1->text().trimmed(), QStringLiteral("ROMA"));
            QTest::mouseClick(p->Chiudi, Qt::LeftButton);
        });
        w->Parametri1->trigger();
        // shown again after that pick: showing alone begins no edit
        quandoAperta<TfParametri>([&](TfParametri* p) {
            guarda(p);
            const int ignoto = p->DBLookupComboBox1->findData(QStringLiteral("Q000"));
            Q_EMIT p->DBLookupComboBox1->activated(ignoto);
            QTest::mouseClick(p->Conferma, Qt::LeftButton);
        });
        w->Parametri1->trigger();
        QCOMPARE(visti.size(), 4);
        QCOMPARE(visti[0].memo, QStringLiteral("300 - Unità trattate\n12 - Scartate"));
        QCOMPARE(visti[0].data, QStringLiteral("30/11/2026"));
        QCOMPARE(visti[0].uiu, QStringLiteral("8"));
        QCOMPARE(visti[0].riepilogo, QStringLiteral("G479"));
        QCOMPARE(visti[0].mostrato, QStringLiteral("PESARO"));
        QCOMPARE(visti[0].voci, 4);
        QCOMPARE(visti[0].stato, DataSet::Stato::Consultazione);
        QCOMPARE(visti[1].stato, DataSet::Stato::Consultazione);  // the summarised one
        QCOMPARE(visti[2].stato, DataSet::Stato::Modifica);
        QCOMPARE(visti[3].stato, DataSet::Stato::Consultazione);
        QCOMPARE(visti[3].mostrato, QStringLiteral("PESARO"));
        // a code missing from tComuni: that code, an empty name
        QCOMPARE(parametro("Codice"), QStringLiteral("Q000"));
        QCOMPARE(parametro("Nome"), QString());
        // confirmed: now nothing is summarised
        QCOMPARE(w->ADOQuery1().righe(), 0);
        visti.clear();
        quandoAperta<TfParametri>([&](TfParametri* p) { guarda(p); });
        w->Parametri1->trigger();
        QCOMPARE(visti.size(), 1);
        QCOMPARE(visti[0].riepilogo, QStringLiteral("Q000"));
        QCOMPARE(visti[0].mostrato, QString());
        QCOMPARE(visti[0].memo, QString());
    }

    // --- the cadastral search -----------------------------------------------------

    void ricercaDallaFinestraPrincipale()
    {
        avvia();
        QVERIFY(w->Cerca1->isEnabled());
        struct Visto {
            qint64 soggetto = -1;
            QString titolo;
            bool ricerca = true;
        };
        QList<Visto> dossier;
        QString q1, q2, sup, q1DopoCategoria, sezioneVuota;
        int righe1 = -1, righe2 = -1, righe1DopoCategoria = -1;
        QStringList proprietari;
        bool documentiAllInizio = true, documentiVuoto = true;
        quandoAperta<TfRicerca>([&](TfRicerca* r) {
            documentiAllInizio = r->Documenti->isEnabled();
            QTest::keyClicks(r->Edit3, QStringLiteral("345"));
            QTest::mouseClick(r->Button1, Qt::LeftButton);
            q1 = r->Quantita1->text();
            righe1 = r->DBGrid1->model()->rowCount();
            // the owners of the first unit; the dossier of the selected one
            QCOMPARE(r->DBGrid3->model()->rowCount(), 2);
            r->ricerca().ADOQuery3.ultimo();
            quandoAperta<TfDocumenti>([&](TfDocumenti* d) {
                dossier.append({d->NumSoggetto, d->windowTitle(), d->Ricerca->isEnabled()});
            });
            QTest::mouseClick(r->Documenti, Qt::LeftButton);

            // the category search empties the identifier grid, not its count
            QTest::mouseClick(r->Button2, Qt::LeftButton);
            q2 = r->Quantita2->text();
            sup = r->Superficie2->text();
            righe2 = r->DBGrid2->model()->rowCount();
            q1DopoCategoria = r->Quantita1->text();
            righe1DopoCategoria = r->DBGrid1->model()->rowCount();
            QCOMPARE(cella(r->DBGrid2, 0, 3), QStringLiteral("Superficie calcolata"));
            QCOMPARE(cella(r->DBGrid2, 1, 3), QStringLiteral("Superficie in corso di definizione"));
            // the owners grid follows the category results
            for (int i = 0; i < 3; ++i) {
                r->DBGrid2->setCurrentIndex(r->DBGrid2->model()->index(i, 0));
                QStringList nomi;
                for (int k = 0; k < r->DBGrid3->model()->rowCount(); ++k)
                    nomi.append(cella(r->DBGrid3, k, 0));
                proprietari.append(nomi.join(QLatin1Char('+')));
            }
            // a unit found by nobody: no owners, no dossier
            scrivi(r->Edit5, QStringLiteral("f01"));
            QTest::mouseClick(r->Button2, Qt::LeftButton);
            documentiVuoto = r->Documenti->isEnabled();
            QCOMPARE(r->Superficie2->text(), QString());
            QCOMPARE(r->Quantita2->text(), QStringLiteral("0"));
            scrivi(r->Edit1, QStringLiteral("b"));
            r->Edit3->clear();
            QTest::mouseClick(r->Button1, Qt::LeftButton);
            sezioneVuota = r->Quantita1->text();
            QTest::keyClick(r->Edit1, Qt::Key_Escape);
        });
        w->Cerca1->trigger();
        QVERIFY(!documentiAllInizio);
        QCOMPARE(q1, QStringLiteral("2"));
        QCOMPARE(righe1, 2);
        QCOMPARE(dossier.size(), 1);
        QCOMPARE(dossier[0].soggetto, qint64(7));
        QCOMPARE(dossier[0].titolo, QStringLiteral("Documenti relativi a ROSSI MARIO - RSSMRA"));
        QVERIFY(!dossier[0].ricerca);  // from the search: no way back into another search
        QCOMPARE(q2, QStringLiteral("3"));
        QCOMPARE(sup, QStringLiteral("181"));
        QCOMPARE(righe2, 3);
        QCOMPARE(q1DopoCategoria, QStringLiteral("2"));
        QCOMPARE(righe1DopoCategoria, 0);
        QCOMPARE(proprietari, (QStringList{QStringLiteral("BIANCHI ANNA+ROSSI MARIO"), QStringLiteral("ROSSI MARIO"),
                                           QStringLiteral("VERDI ADA")}));
        QVERIFY(!documentiVuoto);
        QCOMPARE(sezioneVuota, QStringLiteral("1"));

        // every showing starts empty
        quandoAperta<TfRicerca>([&](TfRicerca* r) {
            for (QLineEdit* e : {r->Edit1, r->Edit2, r->Edit3, r->Edit4, r->Edit5})
                QCOMPARE(e->text(), QString());
            for (QLabel* l : {r->Quantita1, r->Quantita2, r->Superficie2, r->LabelCategoria})
                QCOMPARE(l->text(), QString());
            for (QTableView* v : {r->DBGrid1, r->DBGrid2, r->DBGrid3})
                QCOMPARE(v->model()->rowCount(), 0);
            QVERIFY(!r->Documenti->isEnabled());
            righe1 = -2;
        });
        TfRicerca* prima = w->fRicerca();
        w->Cerca1->trigger();
        QCOMPARE(righe1, -2);
        QCOMPARE(w->fRicerca(), prima);  // one window, reused
    }

    void dossierERicercaSiApronoUnaVolta()
    {
        avvia();
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Soggetto"), {7}));
        struct Vista {
            int tag = -1;
            QString foglio, numero, sub, quantita;
            int righe = -1;
        } ricerca;
        bool ricercaAbilitata = false, dossierAncoraAperto = false, aperteAltre = false;
        quandoAperta<TfDocumenti>([&](TfDocumenti* d) {
            ricercaAbilitata = d->Ricerca->isEnabled();
            quandoAperta<TfRicerca>([&](TfRicerca* r) {
                ricerca = {r->Tag, r->Edit2->text(), r->Edit3->text(), r->Edit4->text(), r->Quantita1->text(),
                           r->DBGrid1->model()->rowCount()};
                QVERIFY(r->Documenti->isEnabled());
                QTest::mouseClick(r->Documenti, Qt::LeftButton);  // back to the dossier, nothing else
                aperteAltre = QApplication::activeModalWidget() != d;
            });
            QTest::mouseClick(d->Ricerca, Qt::LeftButton);
            dossierAncoraAperto = d->isVisible();
        });
        w->Documenti1->trigger();
        QVERIFY(ricercaAbilitata);
        QCOMPARE(ricerca.tag, 1);
        // the first identifier of the owner's first unit, searched at once
        QCOMPARE(ricerca.foglio, QStringLiteral("12"));
        QCOMPARE(ricerca.numero, QStringLiteral("345"));
        QCOMPARE(ricerca.sub, QStringLiteral("6"));
        QCOMPARE(ricerca.quantita, QStringLiteral("1"));
        QCOMPARE(ricerca.righe, 1);
        QVERIFY(dossierAncoraAperto);
        QVERIFY(!aperteAltre);

        // an owner without units: the search opens with empty presets, every identifier listed
        QVERIFY(w->ADOQuery1().Locate(QStringLiteral("Soggetto"), {9}));
        amb->sql(QStringLiteral("DELETE FROM tUnImm1 WHERE Immobile = 3"));
        quandoAperta<TfDocumenti>([&](TfDocumenti* d) {
            quandoAperta<TfRicerca>([&](TfRicerca* r) {
                ricerca = {r->Tag, r->Edit2->text(), r->Edit3->text(), r->Edit4->text(), r->Quantita1->text(),
                           r->DBGrid1->model()->rowCount()};
            });
            QTest::mouseClick(d->Ricerca, Qt::LeftButton);
        });
        w->Documenti1->trigger();
        QCOMPARE(ricerca.foglio, QString());
        QCOMPARE(ricerca.sub, QString());
        QCOMPARE(ricerca.quantita, QStringLiteral("3"));
    }
};

QTEST_MAIN(TestLookup)
#include "test_lookup.moc"
