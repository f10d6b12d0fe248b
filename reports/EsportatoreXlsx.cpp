#include "EsportatoreXlsx.h"

#include "Errore.h"

#include <QDate>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <xlsxwriter.h>

namespace {

constexpr double tolleranza = 0.05;  // mm: edges closer than this are one
constexpr double puntiPerMm = 72.0 / 25.4;
constexpr double altezzaMassima = 409;  // points, the tallest row a worksheet allows
// The first day Excel counts right: before 1 March 1900 its day numbers are
// off by one (it takes 1900 for a leap year), so earlier dates go as text.
const qint64 giornoPrimoMarzo1900 = QDate(1900, 3, 1).toJulianDay();
const qint64 giornoZeroExcel = QDate(1899, 12, 30).toJulianDay();

// Column widths are in characters of the default font (Calibri 11: 7 pixels
// a character plus 5 of padding), pixels at 96 per inch.
double larghezzaColonna(double mm)
{
    const double pixel = mm * 96.0 / 25.4;
    return pixel < 12 ? pixel / 12.0 : (pixel - 5) / 7.0;
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

}  // namespace

struct FoglioXlsx::Stile {
    const Carattere* carattere = nullptr;
    QRgb colore = nero, sfondo = nessunColore;
    uint8_t allineamento = LXW_ALIGN_NONE;
    uint8_t verticale = LXW_ALIGN_VERTICAL_TOP;
    bool aCapo = false;
    enum class Numero : quint8 { Nessuno, Intero, Decimale, Data } numero = Numero::Nessuno;

    // what tells two formats apart, compared without building text for every cell
    auto chiave() const
    {
        const Carattere& c = *carattere;
        return std::make_tuple(c.famiglia, c.punti, c.grassetto, c.corsivo, c.sottolineato, colore, sfondo,
                               allineamento, verticale, aCapo, int(numero));
    }
};

FoglioXlsx::FoglioXlsx(const QString& file, const std::vector<double>& colonne) : file_(file)
{
    {
        // the file's own error, before the library hides it
        QFile prova(file);
        if (!prova.open(QIODevice::WriteOnly))
            throw Errore(QStringLiteral("Impossibile creare il file \"%1\": %2").arg(file, prova.errorString()));
    }
    for (double x : colonne)
        if (bordi_.empty() || x - bordi_.back() > tolleranza)
            bordi_.push_back(x);
    if (bordi_.size() < 2)
        bordi_ = {0, 210};
    lxw_workbook_options opzioni{};
    opzioni.constant_memory = LXW_TRUE;
    libro_ = workbook_new_opt(utf8(file).constData(), &opzioni);
    if (!libro_)
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\"").arg(file));
    foglio_ = workbook_add_worksheet(libro_, nullptr);
    if (!foglio_) {
        lxw_workbook_free(libro_);
        libro_ = nullptr;
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\"").arg(file));
    }
    for (size_t i = 0; i + 1 < bordi_.size(); ++i)
        worksheet_set_column(foglio_, lxw_col_t(i), lxw_col_t(i), larghezzaColonna(bordi_[i + 1] - bordi_[i]), nullptr);
}

FoglioXlsx::~FoglioXlsx()
{
    if (libro_) {
        // not closed: an export that failed leaves no half-written file
        lxw_workbook_free(libro_);
        QFile::remove(file_);
    }
}

int FoglioXlsx::colonna(double x) const
{
    const auto it = std::upper_bound(bordi_.begin(), bordi_.end(), x + tolleranza);
    const int i = int(it - bordi_.begin()) - 1;
    return std::clamp(i, 0, int(bordi_.size()) - 2);
}

lxw_format* FoglioXlsx::formato(const Stile& s)
{
    // the last one asked for is most often asked for again
    if (ultimo_.second && ultimo_.first == s.chiave())
        return ultimo_.second;
    const auto k = s.chiave();
    if (const auto it = formati_.find(k); it != formati_.end()) {
        ultimo_ = {k, it->second};
        return it->second;
    }
    lxw_format* f = workbook_add_format(libro_);
    const Carattere& c = *s.carattere;
    format_set_font_name(f, utf8(c.famiglia).constData());
    format_set_font_size(f, c.punti);
    if (c.grassetto)
        format_set_bold(f);
    if (c.corsivo)
        format_set_italic(f);
    if (c.sottolineato)
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if ((s.colore & 0xFFFFFF) != 0)
        format_set_font_color(f, s.colore & 0xFFFFFF);
    if (qAlpha(s.sfondo)) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, s.sfondo & 0xFFFFFF);
    }
    if (s.allineamento != LXW_ALIGN_NONE)
        format_set_align(f, s.allineamento);
    format_set_align(f, s.verticale);
    if (s.aCapo)
        format_set_text_wrap(f);
    switch (s.numero) {
    case Stile::Numero::Nessuno: break;
    case Stile::Numero::Intero: format_set_num_format(f, "0"); break;
    case Stile::Numero::Decimale: format_set_num_format(f, "General"); break;
    case Stile::Numero::Data: format_set_num_format(f, "dd/mm/yyyy"); break;
    }
    formati_.emplace(k, f);
    ultimo_ = {k, f};
    return f;
}

void FoglioXlsx::pagina(const ReportPreparato& r, const PaginaPreparata& p)
{
    if (!libro_)
        throw Errore(QStringLiteral("Foglio di calcolo \"%1\" già chiuso").arg(file_));
    struct Cella {
        const TestoPreparato* t;
        int riga = 0, prima = 0, ultima = 0;
    };
    std::vector<Cella> celle;
    std::vector<double> cime;
    for (const Primitiva& x : p.primitive) {
        const auto* t = std::get_if<TestoPreparato>(&x);
        if (!t || (t->righe.isEmpty() && !qAlpha(t->sfondo)))
            continue;  // nothing printed in it
        const int prima = colonna(t->riquadro.left());
        const int ultima = std::max(prima, colonna(t->riquadro.right() - 2 * tolleranza));
        celle.push_back({t, 0, prima, ultima});
        cime.push_back(t->riquadro.top());
    }
    if (celle.empty())
        return;
    // the rows: one for each distinct top, as tall as the gap to the next
    std::sort(cime.begin(), cime.end());
    std::vector<double> righe;
    for (double y : cime)
        if (righe.empty() || y - righe.back() > tolleranza)
            righe.push_back(y);
    if (riga_ + qint64(righe.size()) > righeMassime)
        throw Errore(QStringLiteral("Il foglio di calcolo non può contenere più di %1 righe: esportare meno pagine")
                         .arg(righeMassime));
    std::vector<double> fondo(righe.size(), 0);
    for (Cella& c : celle) {
        const auto it = std::upper_bound(righe.begin(), righe.end(), c.t->riquadro.top() + tolleranza);
        c.riga = int(it - righe.begin()) - 1;
        fondo[size_t(c.riga)] = std::max(fondo[size_t(c.riga)], c.t->riquadro.bottom());
    }
    std::stable_sort(celle.begin(), celle.end(), [](const Cella& a, const Cella& b) {
        return a.riga != b.riga ? a.riga < b.riga : a.prima < b.prima;
    });

    size_t i = 0;
    for (size_t n = 0; n < righe.size(); ++n) {
        const lxw_row_t riga = lxw_row_t(riga_ + int(n));
        const double alta = n + 1 < righe.size() ? righe[n + 1] - righe[n] : fondo[n] - righe[n];
        worksheet_set_row(foglio_, riga, std::clamp(alta * puntiPerMm, 1.0, altezzaMassima), nullptr);
        // the cells of this row: fillers of the boxes' width first, values over them
        struct Valore {
            int colonna;
            const TestoPreparato* t;
            lxw_format* f;
        };
        std::vector<Valore> valori;
        std::map<int, QString> testi;  // two texts in one cell share it
        for (; i < celle.size() && celle[i].riga == int(n); ++i) {
            const Cella& c = celle[i];
            const TestoPreparato& t = *c.t;
            Stile s;
            s.carattere = &r.caratteri[t.carattere];
            s.colore = t.colore;
            s.sfondo = t.sfondo;
            s.aCapo = t.righe.size() > 1 || t.testo.contains(QLatin1Char('\n'));
            switch (t.orizzontale) {
            case Orizzontale::Sinistra: s.allineamento = LXW_ALIGN_LEFT; break;
            case Orizzontale::Centro: s.allineamento = LXW_ALIGN_CENTER; break;
            case Orizzontale::Destra: s.allineamento = LXW_ALIGN_RIGHT; break;
            case Orizzontale::Giustificato: s.allineamento = s.aCapo ? LXW_ALIGN_JUSTIFY : LXW_ALIGN_LEFT; break;
            }
            if (t.tipo == TestoPreparato::Tipo::Numero)
                s.numero = t.numero == std::floor(t.numero) ? Stile::Numero::Intero : Stile::Numero::Decimale;
            else if (t.tipo == TestoPreparato::Tipo::Data && qint64(t.numero) >= giornoPrimoMarzo1900)
                s.numero = Stile::Numero::Data;
            // where the value goes in a box of several columns: a number at
            // its aligned side, wrapped text in its widest column, a centred
            // line centred across the box
            int ancora = c.prima;
            bool attraverso = false;
            if (c.ultima > c.prima) {
                if (s.aCapo) {
                    double larga = -1;
                    for (int k = c.prima; k <= c.ultima; ++k)
                        if (bordi_[size_t(k) + 1] - bordi_[size_t(k)] > larga) {
                            larga = bordi_[size_t(k) + 1] - bordi_[size_t(k)];
                            ancora = k;
                        }
                } else if (t.orizzontale == Orizzontale::Destra) {
                    ancora = c.ultima;
                } else if (t.orizzontale == Orizzontale::Centro) {
                    s.allineamento = LXW_ALIGN_CENTER_ACROSS;
                    attraverso = true;
                }
            }
            lxw_format* f = formato(s);
            if (attraverso || qAlpha(t.sfondo)) {
                Stile vuota = s;
                vuota.numero = Stile::Numero::Nessuno;
                lxw_format* fv = formato(vuota);
                for (int k = c.prima; k <= c.ultima; ++k)
                    if (k != ancora)
                        worksheet_write_blank(foglio_, riga, lxw_col_t(k), fv);
            }
            valori.push_back({ancora, &t, f});
        }
        for (const Valore& v : valori) {
            const TestoPreparato& t = *v.t;
            const lxw_col_t col = lxw_col_t(v.colonna);
            if (const auto it = testi.find(v.colonna); it != testi.end()) {
                it->second += QLatin1Char(' ') + t.testo;
                worksheet_write_string(foglio_, riga, col, utf8(it->second).constData(), v.f);
                continue;
            }
            if (t.righe.isEmpty()) {
                worksheet_write_blank(foglio_, riga, col, v.f);
                continue;
            }
            if (t.tipo == TestoPreparato::Tipo::Numero) {
                worksheet_write_number(foglio_, riga, col, t.numero, v.f);
            } else if (t.tipo == TestoPreparato::Tipo::Data && qint64(t.numero) >= giornoPrimoMarzo1900) {
                worksheet_write_number(foglio_, riga, col, double(qint64(t.numero) - giornoZeroExcel), v.f);
            } else {
                worksheet_write_string(foglio_, riga, col, utf8(t.testo).constData(), v.f);
            }
            testi[v.colonna] = t.testo;
        }
    }
    riga_ += int(righe.size());
}

void FoglioXlsx::chiudi()
{
    if (!libro_)
        return;
    lxw_workbook* libro = libro_;
    libro_ = nullptr;
    const lxw_error e = workbook_close(libro);
    if (e != LXW_NO_ERROR) {
        QFile::remove(file_);
        throw Errore(QStringLiteral("Errore di scrittura del file \"%1\": %2")
                         .arg(file_, QString::fromUtf8(lxw_strerror(e))));
    }
}

void EsportatoreXlsx::esporta(const ReportPreparato& r, const QString& file, const QList<int>& pagine,
                              const AvanzamentoEsportazione& avanzamento)
{
    FoglioXlsx foglio(file, r.colonne);
    const int totale = int(pagine.size());
    int fatte = 0;
    for (int n : pagine) {
        if (n < 1 || n > r.numeroPagine())
            continue;
        foglio.pagina(r, r.pagine[size_t(n - 1)]);
        if (avanzamento && !avanzamento(++fatte, totale))
            return;  // cancelled: the file is not written
    }
    foglio.chiudi();
}
