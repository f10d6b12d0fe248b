#pragma once
// A report's template, as plain values: the page, the bands in printing
// order and the items of each band, positioned in millimetres from the band's
// top-left corner (horizontally from the left margin). Texts carry bracketed
// expressions ("Pag. [Page#]"); bands may carry a before-print procedure, a
// plain function that sets variables and shows or hides items.

#include "Stile.h"

#include <QStringList>
#include <functional>
#include <deque>
#include <map>
#include <vector>

class ScriptReport;
using ProceduraReport = std::function<void(ScriptReport&)>;

struct PaginaModello {
    double larghezza = 210, altezza = 297;  // A4
    bool orizzontale = false;               // landscape swaps the two
    double sinistro = 10, destro = 10, alto = 10, basso = 10;

    double larghezzaStampata() const { return orizzontale ? altezza : larghezza; }
    double altezzaStampata() const { return orizzontale ? larghezza : altezza; }
    double larghezzaUtile() const { return larghezzaStampata() - sinistro - destro; }
};

struct Elemento {
    enum class Tipo : quint8 { Testo, Linea, Rettangolo, Immagine, SottoReport };

    Tipo tipo = Tipo::Testo;
    QString nome;
    // The box; a line runs from (x, y) to (x + larghezza, y + altezza).
    double x = 0, y = 0, larghezza = 0, altezza = 0;
    bool visibile = true;

    // Text boxes.
    QString testo;
    Carattere carattere;
    Orizzontale orizzontale = Orizzontale::Sinistra;
    Verticale verticale = Verticale::Alto;
    bool aCapo = true;               // word wrap; else one line, cut at the box
    bool larghezzaDalTesto = false;  // the box takes the width of its text
    bool estendibile = false;        // the box grows to hold all its lines
    QRgb coloreTesto = nero;
    QRgb sfondo = nessunColore;

    // Lines, and the border of rectangles (nessunColore: no border).
    double spessore = Misure::pixel(1);
    StileLinea stile = StileLinea::Continua;
    QRgb colore = nero;
    QRgb riempimento = nessunColore;  // rectangles

    QString file;         // pictures: the file loaded when the report starts
    QString sottoReport;  // sub-reports: the name of the bands printed inside

    // The items, built in one line each.
    static Elemento Testo(const QString& nome, double x, double y, double larghezza, double altezza,
                          const QString& testo);
    static Elemento Linea(const QString& nome, double x1, double y1, double x2, double y2);
    static Elemento Rettangolo(const QString& nome, double x, double y, double larghezza, double altezza);
    static Elemento Immagine(const QString& nome, double x, double y, double larghezza, double altezza);
    static Elemento SottoReport(const QString& nome, double x, double y, double larghezza, const QString& bande);

    Elemento& conCarattere(double punti, bool grassetto = false, bool corsivo = false, bool sottolineato = false);
    Elemento& allinea(Orizzontale o, Verticale v = Verticale::Alto);
    Elemento& unaRiga();
    Elemento& dalTesto();
    Elemento& cresce();
    Elemento& conSfondo(QRgb c);
    Elemento& conSpessore(double mm, StileLinea s = StileLinea::Continua);
    Elemento& conRiempimento(QRgb c);
};

enum class TipoBanda : quint8 {
    TitoloReport,         // once, at the top of the first page
    IntestazionePagina,   // at the top of every page
    IntestazioneColonne,  // before the first row of its data band
    IntestazioneGruppo,   // before each group of rows of its data band
    Dati,                 // once per row of its data set
    Dettaglio,            // once per row of its data set, under each row of its master band
    PiedeGruppo,          // after each group
    PiedeDati,            // after the last row of its data band
    Figlia,               // right after the band it belongs to
    RiepilogoReport,      // once, after the last row
    PiePagina,            // at the bottom of every page
};

struct Banda {
    TipoBanda tipo = TipoBanda::Dati;
    QString nome;
    double altezza = 0;
    bool visibile = true;

    QString dati;   // Dati, Dettaglio: the report data set walked
    // Dettaglio: its master band; IntestazioneColonne, IntestazioneGruppo,
    // PiedeDati: their data band; PiedeGruppo: its group header; Figlia: the
    // band it follows.
    QString padre;
    QString condizione;              // IntestazioneGruppo: a new group starts when it changes
    bool nuovaPagina = false;        // IntestazioneGruppo: each group but the first on a new page
    bool ripetiSuOgniPagina = false; // IntestazioneColonne: again at the top of every page
    bool ancheSenzaRighe = false;    // IntestazioneColonne, PiedeDati: also for an empty data set
    bool estendibile = false;        // grows with its items and sub-reports
    bool divisibile = false;         // at the page's end splits instead of moving whole

    ProceduraReport primaDellaStampa;
    std::vector<Elemento> elementi;
};

struct ModelloReport {
    QString nome;
    PaginaModello pagina;
    std::deque<Banda> bande;  // a deque: a band added keeps the others in place
    // Sub-reports: bands over other data sets, printed inside an item.
    std::map<QString, std::deque<Banda>> sottoReport;
    QStringList variabili;          // the report's variables; empty until set
    ProceduraReport allAvvio;       // when the report starts

    Banda& aggiungi(TipoBanda tipo, const QString& nomeBanda, double altezza);
    // Raise Errore when absent.
    Banda& banda(const QString& nome);
    Elemento& elemento(const QString& nome);
};
