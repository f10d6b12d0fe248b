// The report preview (zoom, pages, find, print, PDF, exports, painting only
// what shows), Stampa1 in the main window and "Prospetto" in the dossier.

#include "Ambiente.h"
#include "AnteprimaReport.h"
#include "Messaggi.h"
#include "RegistroEsportatori.h"
#include "VistaPagine.h"
#include "dmImmagini.h"
#include "dmTabelle.h"
#include "frDocumenti.h"
#include "frMain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

// A report of `n` pages, each with a heading "Pagina N" and a few lines.
std::shared_ptr<ReportPreparato> pagine(int n)
{
    auto r = std::make_shared<ReportPreparato>();
    r->titolo = QStringLiteral("Prova");
    r->caratteri.push_back(Carattere());
    for (int p = 1; p <= n; ++p) {
        PaginaPreparata pag;
        for (int i = 0; i < 40; ++i) {
            TestoPreparato t;
            t.riquadro = QRectF(10, 10 + i * 6, 150, 5);
            t.testo = i == 0 ? QStringLiteral("Pagina %1").arg(p) : QStringLiteral("Riga %1 della pagina %2").arg(i).arg(p);
            t.righe.append({0, quint16(t.testo.size()), 11, float(14 + i * 6), 0});
            pag.primitive.emplace_back(std::move(t));
        }
        pag.primitive.emplace_back(LineaPreparata{QPointF(10, 5), QPointF(200, 5), 0.5f});
        r->pagine.push_back(std::move(pag));
    }
    return r;
}

QString pdfInTesto(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext non riuscito>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

class Esportatore0 : public Esportatore {
public:
    QString nome() const override { return QStringLiteral("Prova"); }
    QString filtroFile() const override { return QStringLiteral("Prova (*.txt)"); }
    void esporta(const ReportPreparato&, const QString& file, const QList<int>& pagine,
                 const AvanzamentoEsportazione& avanzamento) override
    {
        QStringList n;
        for (int p : pagine)
            n.append(QString::number(p));
        chiamate.append(file + QLatin1Char(' ') + n.join(QLatin1Char(',')));
        if (avanzamento)
            avanzamento(int(pagine.size()), int(pagine.size()));
    }
    QStringList chiamate;
};

}  // namespace

class TestAnteprima : public QObject {
    Q_OBJECT

    // What a preview showed when it opened; it is closed at once.
    struct Vista {
        QString titolo;
        int pagine = 0;
        QStringList primaPagina;
        double zoom = 0;
        int corrente = -1;
    };
    QList<Vista> viste;
    int generazione = 0;
    void chiudiAnteprima(int tentativi = 500)
    {
        QTimer::singleShot(0, this, [this, tentativi, g = generazione] {
            if (g != generazione)
                return;
            auto* a = qobject_cast<AnteprimaReport*>(QApplication::activeModalWidget());
            if (!a) {
                if (tentativi > 0)
                    chiudiAnteprima(tentativi - 1);
                return;
            }
            Vista v{a->windowTitle(), a->vista->report()->numeroPagine(), {}, a->vista->zoom(), a->paginaCorrente()};
            for (const Primitiva& x : a->vista->report()->pagine.front().primitive)
                if (const auto* t = std::get_if<TestoPreparato>(&x))
                    v.primaPagina.append(t->stampato());
            viste.append(v);
            a->reject();
        });
    }

private Q_SLOTS:
    void init() { Messaggi::simula(true); }
    void cleanup()
    {
        ++generazione;
        viste.clear();
        RegistroEsportatori::svuota();
    }

    void apreAlCentoPerCentoSullaPrimaPagina()
    {
        AnteprimaReport a(pagine(30));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        QCOMPARE(a.vista->zoom(), 1.0);
        QCOMPARE(a.paginaCorrente(), 0);
        QCOMPARE(a.NumeroPagina->value(), 1);
        QCOMPARE(a.TotalePagine->text().trimmed(), QStringLiteral("di 30"));
        QCOMPARE(a.Zoom->text(), QStringLiteral("100 %"));
        QVERIFY(!a.PaginaPrecedente->isEnabled());
        QVERIFY(a.PaginaSuccessiva->isEnabled());
        QVERIFY(a.windowTitle().endsWith(QStringLiteral("Prova")));
        QVERIFY(a.isModal());
    }

    void dipingeSoloLePagineVisibili()
    {
        AnteprimaReport a(pagine(2000));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.vista->viewport()->repaint();
        QVERIFY(a.vista->pagineDipinteUltima() >= 1);
        QVERIFY(a.vista->pagineDipinteUltima() <= 2);
        QVERIFY(a.vista->pagineDipinteTotale() < 20);
        a.UltimaPagina->trigger();
        a.vista->viewport()->repaint();
        QCOMPARE(a.paginaCorrente(), 1999);
        QCOMPARE(a.NumeroPagina->value(), 2000);
        QVERIFY(a.vista->pagineDipinteUltima() <= 2);
        QVERIFY(a.vista->pagineDipinteTotale() < 40);
    }

    void zoomENavigazione()
    {
        AnteprimaReport a(pagine(10));
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.ZoomPiu->trigger();
        QCOMPARE(a.vista->zoom(), 1.25);
        a.ZoomMeno->trigger();
        a.ZoomMeno->trigger();
        QCOMPARE(a.vista->zoom(), 0.75);
        QCOMPARE(a.Zoom->text(), QStringLiteral("75 %"));
        a.PaginaIntera->trigger();
        // the whole page fits the view
        const double pxh = 297 / 25.4 * a.vista->logicalDpiY() * a.vista->zoom();
        QVERIFY(pxh <= a.vista->viewport()->height());
        a.LarghezzaPagina->trigger();
        const double pxw = 210 / 25.4 * a.vista->logicalDpiX() * a.vista->zoom();
        QVERIFY(pxw <= a.vista->viewport()->width());
        QVERIFY(pxw > a.vista->viewport()->width() - 40);

        a.PaginaSuccessiva->trigger();
        QCOMPARE(a.paginaCorrente(), 1);
        a.NumeroPagina->setValue(7);
        QCOMPARE(a.paginaCorrente(), 6);
        a.PaginaPrecedente->trigger();
        QCOMPARE(a.paginaCorrente(), 5);
        QCOMPARE(a.NumeroPagina->value(), 6);
        a.UltimaPagina->trigger();
        QCOMPARE(a.paginaCorrente(), 9);
        QVERIFY(!a.PaginaSuccessiva->isEnabled());
        a.PrimaPagina->trigger();
        QCOMPARE(a.paginaCorrente(), 0);
        // a zoom keeps the page in view
        a.NumeroPagina->setValue(4);
        a.ZoomPiu->trigger();
        QCOMPARE(a.paginaCorrente(), 3);
    }

    void trovaTraLePagine()
    {
        auto r = pagine(6);
        // "TARGA" on page 2 and twice in one text of page 5
        std::get<TestoPreparato>(r->pagine[1].primitive[3]).testo = QStringLiteral("una targa");
        std::get<TestoPreparato>(r->pagine[4].primitive[7]).testo = QStringLiteral("TARGA e TARGA");
        for (auto* t : {&std::get<TestoPreparato>(r->pagine[1].primitive[3]), &std::get<TestoPreparato>(r->pagine[4].primitive[7])})
            t->righe[0].lunghezza = quint16(t->testo.size());
        AnteprimaReport a(r);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        a.TestoRicerca->setText(QStringLiteral("Targa"));
        const std::pair<int, int> attesi[] = {{1, 3}, {4, 7}, {4, 7}, {1, 3}};  // round to the first again
        for (const auto& [pagina, primitiva] : attesi) {
            QVERIFY(a.trova());
            QCOMPARE(a.paginaTrovata(), pagina);
            QCOMPARE(a.primitivaTrovata(), primitiva);
            QCOMPARE(a.paginaCorrente(), pagina);  // the match is brought into view
        }
        a.TestoRicerca->setText(QStringLiteral("assente"));
        QVERIFY(!a.trova());
        a.TrovaSuccessivo->trigger();  // the clerk is told
        QCOMPARE(Messaggi::mostrati().size(), 1);
        QCOMPARE(Messaggi::mostrati().last().titolo, QStringLiteral("Informazione"));
    }

    void stampaEPdf()
    {
        QTemporaryDir dir;
        AnteprimaReport a(pagine(4));
        a.dialogoStampa = [&](QPrinter& p) {
            // what the clerk picks in the dialog: a PDF printer, pages 2 to 3
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(dir.filePath(QStringLiteral("stampa.pdf")));
            p.setPrintRange(QPrinter::PageRange);
            p.setFromTo(2, 3);
            return true;
        };
        a.Stampa->trigger();
        const QString stampato = pdfInTesto(dir.filePath(QStringLiteral("stampa.pdf")));
        QVERIFY2(stampato.contains(QStringLiteral("Pagina 2")) && stampato.contains(QStringLiteral("Pagina 3")),
                 qPrintable(stampato.left(200)));
        QVERIFY(!stampato.contains(QStringLiteral("Pagina 1\n")) && !stampato.contains(QStringLiteral("Pagina 4")));

        a.chiediFilePdf = [&] { return dir.filePath(QStringLiteral("salvato.pdf")); };
        a.SalvaPdf->trigger();
        const QString salvato = pdfInTesto(dir.filePath(QStringLiteral("salvato.pdf")));
        QVERIFY(salvato.contains(QStringLiteral("Riga 39 della pagina 4")));
        // a file that cannot be written is the standard error box
        a.chiediFilePdf = [&] { return dir.filePath(QStringLiteral("manca/salvato.pdf")); };
        a.SalvaPdf->trigger();
        QCOMPARE(Messaggi::mostrati().size(), 1);
        QCOMPARE(Messaggi::mostrati().last().titolo, QStringLiteral("Sorvel"));
    }

    void esportazioniSoloQuandoRegistrate()
    {
        {
            AnteprimaReport a(pagine(3));
            QVERIFY(a.Esporta == nullptr);
        }
        auto e = std::make_shared<Esportatore0>();
        RegistroEsportatori::registra(e);
        RegistroEsportatori::registra(std::make_shared<Esportatore0>());  // the same name once
        QCOMPARE(RegistroEsportatori::elenco().size(), 1);
        AnteprimaReport a(pagine(3));
        QVERIFY(a.Esporta != nullptr);
        a.chiediEsportazione = [](const Esportatore&) { return AnteprimaReport::SceltaEsportazione{QStringLiteral("x.txt"), {2, 3}}; };
        a.Esporta->trigger();
        QCOMPARE(e->chiamate, QStringList{QStringLiteral("x.txt 2,3")});
        a.chiediEsportazione = [](const Esportatore&) { return AnteprimaReport::SceltaEsportazione{}; };  // cancelled
        a.Esporta->trigger();
        QCOMPARE(e->chiamate.size(), 1);
    }

    // --- the main window and the dossier ---------------------------------------------------------

    void stampaElencoDallaPrimaRiga()
    {
        Ambiente amb;
        amb.codice(QStringLiteral("G479"));
        int i = 0;
        for (const char* n : {"VERDI ANNA", "ROSSI MARIO", "BIANCHI PAOLO"}) {
            const QStringList p = QString::fromLatin1(n).split(QLatin1Char(' '));
            ++i;
            amb.soggetto(QStringLiteral("G479"), i, 100 + i, p[0], p[1], p[0].left(3) + p[1].left(3));
        }
        TdTabelle dati;
        TfMain w;
        dati.DataModuleCreate();
        TdImmagini immagini;
        w.collegaModuli(dati, immagini);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.Stampa1->isEnabled());
        QVERIFY(!w.Stampa1->icon().isNull());
        QTest::keyClicks(w.Edit1, QStringLiteral("ROS"));
        QCOMPARE(w.ADOQuery1().rigaCorrente(), 1);
        chiudiAnteprima();
        w.Stampa1->trigger();
        QCOMPARE(viste.size(), 1);
        const Vista& v = viste.first();
        QCOMPARE(v.zoom, 1.0);
        QCOMPARE(v.corrente, 0);
        QCOMPARE(v.primaPagina.mid(5, 1), QStringList{QStringLiteral("BIANCHI PAOLO")});  // from the first row
        QVERIFY(v.primaPagina.contains(QStringLiteral("VERDI ANNA")));
        QCOMPARE(w.ADOQuery1().rigaCorrente(), 1);  // the grid's row is where the search left it
        QCOMPARE(w.DBGrid1->currentIndex().row(), 1);
        QVERIFY(Messaggi::mostrati().isEmpty());
    }

    void prospettoDelDossier()
    {
        Ambiente amb;
        amb.codice(QStringLiteral("G479"));
        amb.sql(QStringLiteral(
            "INSERT INTO tUnImm1 (Codice, Sezione, Immobile, Progressivo, Categoria, Superficie, EsitoSup) VALUES "
            "('G479', '', 1, 1, 'A02', 60, '1'), ('G479', '', 2, 1, 'C06', 41, '3');"
            "INSERT INTO tUnImm3 (Codice, Sezione, Immobile, Progressivo, ProgrRec, Toponimo, Denominazione, Civico1) VALUES "
            "('G479', '', 1, 1, 1, 'VIA', 'ROSSINI', '0012'), ('G479', '', 2, 1, 1, 'VIALE', 'TRIESTE', '4')"));
        amb.soggetto(QStringLiteral("G479"), 1, 7, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("RSSMRA"));
        amb.soggetto(QStringLiteral("G479"), 2, 7, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("RSSMRA"));
        TdTabelle dati;
        dati.DataModuleCreate();
        for (const bool modalitaS : {false, true}) {
            dati.ModalitaS = modalitaS;
            dati.SuperficieRuolo = modalitaS ? 90 : 0;
            TfDocumenti d(dati);
            d.NumSoggetto = 7;
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QVERIFY(d.Prospetto->isEnabled());
            QVERIFY(!d.Prospetto->icon().isNull());
            d.DBGrid1->setCurrentIndex(d.DBGrid1->model()->index(1, 0));
            QCOMPARE(d.dossier().ADOQuery4.rigaCorrente(), 1);
            viste.clear();
            chiudiAnteprima();
            QTest::mouseClick(d.Prospetto, Qt::LeftButton);
            QCOMPARE(viste.size(), 1);
            const QStringList& t = viste.first().primaPagina;
            QVERIFY(t.contains(QStringLiteral("VIA ROSSINI 12")));
            QVERIFY(t.contains(QStringLiteral("VIALE TRIESTE 4")));
            const qsizetype tot = t.indexOf(QStringLiteral("Superficie catastale (calcolata):"));
            QCOMPARE(t.value(tot + 1), d.Totale->text());  // the window's total
            QCOMPARE(t.contains(QStringLiteral("Maggiore superficie accertabile:")), modalitaS);
            if (modalitaS)
                QCOMPARE(t.last(), d.Accertabile->text());  // 81 - 90: -9
            // the unit list is back on the unit the clerk chose, its addresses with it
            QCOMPARE(d.dossier().ADOQuery4.rigaCorrente(), 1);
            QCOMPARE(d.DBGrid1->currentIndex().row(), 1);
            QCOMPARE(d.dossier().ADOQuery2.testo(u"Denominazione"), QStringLiteral("TRIESTE"));
        }
        QVERIFY(Messaggi::mostrati().isEmpty());
    }
};

QTEST_MAIN(TestAnteprima)
#include "test_anteprima.moc"
