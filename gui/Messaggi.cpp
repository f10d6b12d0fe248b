#include "Messaggi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace Messaggi {

namespace {
bool simulato = false;
QMessageBox::StandardButton rispostaSimulata = QMessageBox::Ok;
QList<Registro> registro;

QString titolo(Tipo t)
{
    switch (t) {
    case Tipo::Avviso: return QStringLiteral("Attenzione");
    case Tipo::Errore: return QStringLiteral("Errore");
    case Tipo::Informazione: return QStringLiteral("Informazione");
    case Tipo::Conferma: return QStringLiteral("Conferma");
    }
    return {};
}

QMessageBox::Icon icona(Tipo t)
{
    switch (t) {
    case Tipo::Avviso: return QMessageBox::Warning;
    case Tipo::Errore: return QMessageBox::Critical;
    case Tipo::Informazione: return QMessageBox::Information;
    case Tipo::Conferma: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString testoPulsante(QMessageBox::StandardButton b)
{
    switch (b) {
    case QMessageBox::Ok: return QStringLiteral("OK");
    case QMessageBox::Cancel: return QStringLiteral("Annulla");
    case QMessageBox::Yes: return QStringLiteral("&Si");
    case QMessageBox::No: return QStringLiteral("&No");
    case QMessageBox::Abort: return QStringLiteral("&Interrompi");
    case QMessageBox::Retry: return QStringLiteral("&Riprova");
    case QMessageBox::Ignore: return QStringLiteral("I&gnora");
    case QMessageBox::YesToAll: return QStringLiteral("Si a T&utti");
    case QMessageBox::NoToAll: return QStringLiteral("N&o a Tutti");
    case Tutti: return QStringLiteral("&Tutti");
    default: return {};
    }
}

QMessageBox::StandardButton mostraBox(QWidget* padre, const QString& t, QMessageBox::Icon ic, const QString& testo,
                                      QMessageBox::StandardButtons pulsanti)
{
    if (simulato) {
        registro.append({t, testo, rispostaSimulata});
        return rispostaSimulata;
    }
    QMessageBox box(ic, t, testo, pulsanti, padre);
    for (QAbstractButton* b : box.buttons()) {
        const QString s = testoPulsante(box.standardButton(b));
        if (!s.isEmpty())
            b->setText(s);
    }
    if (pulsanti & QMessageBox::Ok)
        box.setDefaultButton(QMessageBox::Ok);
    else if (pulsanti & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    if (pulsanti & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (pulsanti & QMessageBox::No)
        box.setEscapeButton(QMessageBox::No);
    else if (pulsanti & QMessageBox::Ok)
        box.setEscapeButton(QMessageBox::Ok);
    // A message must not be hidden behind the database-wait cursor.
    const bool cursore = QGuiApplication::overrideCursor() != nullptr;
    if (cursore)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (cursore)
        QGuiApplication::restoreOverrideCursor();
    return box.standardButton(box.clickedButton());
}
}  // namespace

QMessageBox::StandardButton mostra(QWidget* padre, Tipo tipo, const QString& testo,
                                   QMessageBox::StandardButtons pulsanti)
{
    return mostraBox(padre, titolo(tipo), icona(tipo), testo, pulsanti);
}

void erroreStandard(QWidget* padre, const QString& testo)
{
    // the error's own words, as they stand: only the full stop is ours
    QString t = testo;
    if (!t.endsWith(QLatin1Char('.')))
        t += QLatin1Char('.');
    mostraBox(padre, QStringLiteral("Sorvel"), QMessageBox::Critical, t, QMessageBox::Ok);
}

void simula(bool attivo, QMessageBox::StandardButton risposta)
{
    simulato = attivo;
    rispostaSimulata = risposta;
    registro.clear();
}

const QList<Registro>& mostrati() { return registro; }

}  // namespace Messaggi

QCursor cursore(Cursore c)
{
    if (c == Cursore::HourGlass)
        return QCursor(Qt::WaitCursor);
    // drawn once: the hourglass with "SQL" beside it
    static const QCursor sql = [] {
        QPixmap p(32, 32);
        p.fill(Qt::transparent);
        QPainter g(&p);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(Qt::black, 1));
        g.setBrush(Qt::white);
        const QPolygonF clessidra{{2, 1}, {15, 1}, {15, 3}, {10, 10}, {15, 17}, {15, 19}, {2, 19}, {2, 17}, {7, 10}, {2, 3}};
        g.drawPolygon(clessidra);
        g.setBrush(Qt::black);
        g.drawPolygon(QPolygonF{{5, 16}, {12, 16}, {8.5, 12}});
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(9);
        f.setBold(true);
        g.setFont(f);
        g.setPen(Qt::white);
        for (int dx : {-1, 1})
            for (int dy : {-1, 1})
                g.drawText(QRect(13 + dx, 20 + dy, 19, 11), Qt::AlignCenter, QStringLiteral("SQL"));
        g.setPen(Qt::black);
        g.drawText(QRect(13, 20, 19, 11), Qt::AlignCenter, QStringLiteral("SQL"));
        g.end();
        return QCursor(p, 8, 10);
    }();
    return sql;
}

CursoreAttesa::CursoreAttesa(Cursore c) { QGuiApplication::setOverrideCursor(cursore(c)); }
CursoreAttesa::~CursoreAttesa() { QGuiApplication::restoreOverrideCursor(); }
