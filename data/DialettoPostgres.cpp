#include "DialettoPostgres.h"

#include "Collazione.h"
#include "Schema.h"

#include <QMap>
#include <algorithm>
#include <vector>

namespace DialettoPostgres {

namespace {

struct Token {
    enum Tipo { Spazio, Parola, Stringa, Citato, Numero, Parametro, Simbolo } tipo;
    QString testo;
    int livello = 0;  // depth of parentheses
};

bool iniziaParola(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool inParola(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

std::vector<Token> dividi(const QString& s)
{
    std::vector<Token> t;
    int livello = 0;
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto aggiungi = [&](Token::Tipo tipo, qsizetype da, qsizetype a) { t.push_back({tipo, s.mid(da, a - da), livello}); };
    while (i < n) {
        const QChar c = s[i];
        const qsizetype da = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            aggiungi(Token::Spazio, da, i);
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            aggiungi(Token::Spazio, da, i);
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const qsizetype f = s.indexOf(QStringLiteral("*/"), i + 2);
            i = f < 0 ? n : f + 2;
            aggiungi(Token::Spazio, da, i);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // a doubled quote stays inside
            ++i;
            for (;;) {
                if (i >= n)
                    break;
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            aggiungi(c == QLatin1Char('\'') ? Token::Stringa : Token::Citato, da, i);
        } else if (iniziaParola(c)) {
            while (i < n && inParola(s[i]))
                ++i;
            aggiungi(Token::Parola, da, i);
        } else if (c.isDigit()) {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('.')))
                ++i;
            aggiungi(Token::Numero, da, i);
        } else if (c == QLatin1Char('?')) {
            ++i;
            aggiungi(Token::Parametro, da, i);
        } else if (c == QLatin1Char(':') && i + 1 < n && iniziaParola(s[i + 1]) &&
                   (i == 0 || s[i - 1] != QLatin1Char(':'))) {
            ++i;
            while (i < n && inParola(s[i]))
                ++i;
            aggiungi(Token::Parametro, da, i);
        } else {
            ++i;
            if (c == QLatin1Char(')'))
                --livello;
            aggiungi(Token::Simbolo, da, i);
            if (c == QLatin1Char('('))
                ++livello;
        }
    }
    return t;
}

bool parola(const Token& t, const char* p)
{
    return t.tipo == Token::Parola && t.testo.compare(QLatin1String(p), Qt::CaseInsensitive) == 0;
}
bool simbolo(const Token& t, char c) { return t.tipo == Token::Simbolo && t.testo == QLatin1Char(c); }

// The text of tokens [da, a), blanks at both ends left out.
QString testo(const std::vector<Token>& t, size_t da, size_t a)
{
    while (da < a && t[da].tipo == Token::Spazio)
        ++da;
    while (a > da && t[a - 1].tipo == Token::Spazio)
        --a;
    QString r;
    for (size_t i = da; i < a; ++i)
        r += t[i].testo;
    return r;
}

class Traduttore {
public:
    explicit Traduttore(const QString& sql) : t_(dividi(sql)) {}

    Traduzione esegui()
    {
        Traduzione r;
        for (const Token& k : t_)
            if (k.tipo == Token::Parola) {
                const QString minuscolo = k.testo.toLower();
                if (!r.nomi.contains(minuscolo))
                    r.nomi.insert(minuscolo, k.testo);  // the first spelling is the one kept
            }
        r.citaRowid = rowidNellElenco();
        // Words and parameters in place first; then the clauses, the ORDER BYs
        // from the last to the first, so that positions before them hold.
        for (size_t i = 0; i < t_.size(); ++i) {
            Token& k = t_[i];
            if (parola(k, "LIKE")) {
                k.testo = QStringLiteral("ILIKE");
                const size_t j = prossimo(i + 1);
                if (j < t_.size() && (t_[j].tipo == Token::Stringa || t_[j].tipo == Token::Parametro)) {
                    const size_t e = prossimo(j + 1);
                    if (e >= t_.size() || !parola(t_[e], "ESCAPE"))
                        t_[j].testo += QStringLiteral(" ESCAPE ''");
                }
            } else if (k.tipo == Token::Parametro) {
                const QString nome = k.testo == QLatin1String("?") ? QString() : k.testo;
                qsizetype n = nome.isEmpty() ? -1 : r.parametri.indexOf(nome);
                if (n < 0) {
                    r.parametri.append(nome);
                    n = r.parametri.size() - 1;
                }
                k.testo = QStringLiteral("$%1").arg(n + 1);
            }
        }
        eliminaStella();
        std::vector<size_t> ordini;
        for (size_t i = 0; i < t_.size(); ++i)
            if (parola(t_[i], "ORDER")) {
                const size_t j = prossimo(i + 1);
                if (j < t_.size() && parola(t_[j], "BY"))
                    ordini.push_back(i);
            }
        for (auto it = ordini.rbegin(); it != ordini.rend(); ++it)
            riscriviOrdine(*it);
        // outside an ORDER BY, NOMI is the exact text in the "C" collation,
        // as BINARY, the embedded engine's own
        for (size_t i = 0; i < t_.size(); ++i)
            if (parola(t_[i], "COLLATE")) {
                const size_t j = prossimo(i + 1);
                if (j < t_.size() && (parola(t_[j], Collazione::nome) || parola(t_[j], "BINARY")))
                    t_[j].testo = QStringLiteral("\"C\"");
            }
        r.colonneNascoste = nascoste_;
        for (const Token& k : t_)
            r.testo += k.testo;
        return r;
    }

private:
    // Does a select list name rowid? (An ORDER BY or a WHERE may use it
    // without asking to see it.)
    bool rowidNellElenco() const
    {
        for (size_t i = 0; i < t_.size(); ++i) {
            if (!parola(t_[i], "SELECT"))
                continue;
            for (size_t j = i + 1; j < t_.size() && t_[j].livello >= t_[i].livello; ++j) {
                if (t_[j].livello == t_[i].livello && parola(t_[j], "FROM"))
                    break;
                if (parola(t_[j], "rowid"))
                    return true;
            }
        }
        return false;
    }

    size_t prossimo(size_t i) const
    {
        while (i < t_.size() && t_[i].tipo == Token::Spazio)
            ++i;
        return i;
    }

    void eliminaStella()
    {
        for (size_t i = 0; i < t_.size(); ++i)
            if (parola(t_[i], "DELETE")) {
                const size_t j = prossimo(i + 1);
                if (j < t_.size() && simbolo(t_[j], '*')) {
                    const size_t f = prossimo(j + 1);
                    if (f < t_.size() && parola(t_[f], "FROM"))
                        t_[j].testo.clear();
                }
            }
    }

    // The ORDER BY at `o`: each term gets its place for nulls; a term in the
    // order of names becomes the key and the exact text.
    void riscriviOrdine(size_t o)
    {
        const int livello = t_[o].livello;
        const size_t inizio = prossimo(o + 1) + 1;  // after BY
        size_t fine = inizio;
        while (fine < t_.size()) {
            const Token& k = t_[fine];
            if (k.livello < livello || (k.livello == livello && simbolo(k, ';')))
                break;
            if (k.livello == livello &&
                (parola(k, "LIMIT") || parola(k, "OFFSET") || parola(k, "FETCH") || parola(k, "FOR")))
                break;
            ++fine;
        }
        // the SELECT of this ORDER BY, and whether it is DISTINCT
        size_t select = t_.size();
        for (size_t i = o; i-- > 0;)
            if (t_[i].livello == livello && parola(t_[i], "SELECT")) {
                select = i;
                break;
            }
        const bool distinct = select < t_.size() && prossimo(select + 1) < t_.size() &&
                              parola(t_[prossimo(select + 1)], "DISTINCT");
        QStringList termini;
        QStringList chiavi;  // extra columns of a DISTINCT
        size_t da = inizio;
        for (size_t i = inizio; i <= fine; ++i) {
            if (i < fine && !(t_[i].livello == livello && simbolo(t_[i], ',')))
                continue;
            termini += termine(da, i, distinct, chiavi);
            da = i + 1;
        }
        QString nuovo = QLatin1Char(' ') + termini.join(QStringLiteral(", "));
        if (fine < t_.size() && t_[fine].tipo != Token::Spazio)
            nuovo += QLatin1Char(' ');
        for (size_t i = inizio; i < fine; ++i)
            t_[i].testo.clear();
        t_[inizio - 1].testo += nuovo;
        if (!chiavi.isEmpty()) {
            // the keys go at the end of the select list, before its FROM
            for (size_t i = select; i < o; ++i)
                if (t_[i].livello == livello && parola(t_[i], "FROM")) {
                    size_t p = i;
                    while (p > select && t_[p - 1].tipo == Token::Spazio)
                        --p;
                    t_[p - 1].testo += QStringLiteral(", ") + chiavi.join(QStringLiteral(", "));
                    break;
                }
        }
    }

    QStringList termine(size_t da, size_t a, bool distinct, QStringList& chiavi)
    {
        size_t f = a;
        while (f > da && t_[f - 1].tipo == Token::Spazio)
            --f;
        QString verso;
        for (size_t i = da; i < f; ++i)
            if (parola(t_[i], "NULLS"))
                return {testo(t_, da, a)};  // placed already
        if (f > da && (parola(t_[f - 1], "ASC") || parola(t_[f - 1], "DESC"))) {
            verso = t_[f - 1].testo.toUpper();
            --f;
        }
        const QString nulli = verso == QLatin1String("DESC") ? QStringLiteral(" DESC NULLS LAST")
                                                               : (verso.isEmpty() ? QStringLiteral(" NULLS FIRST")
                                                                                  : QStringLiteral(" ASC NULLS FIRST"));
        // "X COLLATE NOMI"
        size_t g = f;
        while (g > da && t_[g - 1].tipo == Token::Spazio)
            --g;
        if (g > da && parola(t_[g - 1], Collazione::nome)) {
            size_t c = g - 1;
            while (c > da && t_[c - 1].tipo == Token::Spazio)
                --c;
            if (c > da && parola(t_[c - 1], "COLLATE")) {
                const QString x = testo(t_, da, c - 1);
                QString chiave = QStringLiteral("%1(%2)").arg(QLatin1String(funzioneNomi), x);
                if (distinct) {
                    ++nascoste_;
                    const QString alias = QStringLiteral("sorvel_ordine%1").arg(nascoste_);
                    chiavi << chiave + QStringLiteral(" AS ") + alias;
                    chiave = alias;
                }
                return {chiave + nulli, x + nulli};
            }
        }
        return {testo(t_, da, f) + nulli};
    }

    std::vector<Token> t_;
    int nascoste_ = 0;
};

// Rows in the same order as on the embedded engine, where the text leaves it
// open: that engine gives a table's rows in the order they were stored, and
// the rows of a DISTINCT in the order of their first stored occurrence; the
// server, in whatever order its plan yields. So a top-level SELECT of one of
// the nine tables without ORDER BY is ordered by that table's rowid (a DISTINCT becomes a
// GROUP BY ordered by its first rowid), and rows left tied by an ORDER BY
// follow the columns of a DISTINCT, or else the rowid.
QString ordineStabile(const QString& sql)
{
    const std::vector<Token> t = dividi(sql);
    auto prossimo = [&](size_t i) {
        while (i < t.size() && t[i].tipo == Token::Spazio)
            ++i;
        return i;
    };
    const size_t select = prossimo(0);
    if (select >= t.size() || !parola(t[select], "SELECT"))
        return sql;
    size_t distinct = t.size(), from = t.size(), ordine = t.size(), fine = t.size();
    int elementi = 1;
    bool aggregati = false;
    for (size_t i = select + 1; i < t.size(); ++i) {
        const Token& k = t[i];
        if (k.livello != 0)
            continue;
        if (i == prossimo(select + 1) && parola(k, "DISTINCT")) {
            distinct = i;
        } else if (from == t.size()) {
            if (parola(k, "FROM"))
                from = i;
            else if (simbolo(k, ','))
                ++elementi;
            else if (simbolo(k, '*'))
                return sql;  // "SELECT DISTINCT *" has no columns to name
            else if (k.tipo == Token::Parola && prossimo(i + 1) < t.size() && simbolo(t[prossimo(i + 1)], '(') &&
                     (parola(k, "COUNT") || parola(k, "SUM") || parola(k, "MIN") || parola(k, "MAX") ||
                      parola(k, "AVG") || parola(k, "TOTAL") || parola(k, "GROUP_CONCAT")))
                aggregati = true;
        } else if (parola(k, "GROUP") || parola(k, "UNION") || parola(k, "INTERSECT") || parola(k, "EXCEPT") ||
                   parola(k, "HAVING")) {
            return sql;
        } else if (parola(k, "ORDER")) {
            ordine = i;
        } else if (parola(k, "LIMIT") || parola(k, "OFFSET") || parola(k, "FETCH") || simbolo(k, ';')) {
            fine = i;
            break;
        }
    }
    if (from == t.size() || aggregati)
        return sql;
    // the first table, or its alias
    const size_t tabella = prossimo(from + 1);
    if (tabella >= t.size() || t[tabella].tipo != Token::Parola || !Schema::tabella(t[tabella].testo))
        return sql;  // not one of ours: it has no rowid
    QString nome = t[tabella].testo;
    size_t a = prossimo(tabella + 1);
    if (a < t.size() && parola(t[a], "AS"))
        a = prossimo(a + 1);
    static const char* const noAlias[] = {"LEFT", "RIGHT", "INNER", "JOIN", "CROSS", "FULL", "NATURAL", "OUTER",
                                          "WHERE", "ORDER", "GROUP", "LIMIT", "ON", "OFFSET", "FETCH"};
    if (a < t.size() && t[a].tipo == Token::Parola &&
        std::none_of(std::begin(noAlias), std::end(noAlias), [&](const char* p) { return parola(t[a], p); }))
        nome = t[a].testo;
    QString aggiunta;
    if (distinct < t.size()) {
        QStringList posizioni;
        for (int i = 1; i <= elementi; ++i)
            posizioni << QString::number(i);
        aggiunta = ordine < t.size() ? QStringLiteral(", ") + posizioni.join(QStringLiteral(", "))
                                     : QStringLiteral(" GROUP BY %1 ORDER BY MIN(%2.rowid)")
                                           .arg(posizioni.join(QStringLiteral(", ")), nome);
    } else {
        aggiunta = ordine < t.size() ? QStringLiteral(", %1.rowid").arg(nome) : QStringLiteral(" ORDER BY %1.rowid").arg(nome);
    }
    QString r;
    for (size_t i = 0; i < t.size(); ++i) {
        if (i == fine) {
            r += aggiunta + QLatin1Char(' ');
            aggiunta.clear();
        }
        if (i == distinct && ordine == t.size())
            continue;  // the GROUP BY stands for it
        r += t[i].testo;
    }
    // at the end of the text, before its trailing blanks
    if (!aggiunta.isEmpty()) {
        qsizetype n = r.size();
        while (n > 0 && r[n - 1].isSpace())
            --n;
        r.insert(n, aggiunta);
    }
    return r;
}

QString letterale(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

}  // namespace

Traduzione traduci(const QString& sql) { return Traduttore(ordineStabile(sql)).esegui(); }

QString creaFunzioneNomi()
{
    // Each character whose key is not itself: dropped, one character, or two.
    QString da, a, cancellati;
    QMap<QString, QString> sostituzioni;
    const std::pair<char32_t, char32_t> blocchi[] = {{0x01, 0x24F}, {0x370, 0x52F}, {0x1E00, 0x1EFF}, {0x2018, 0x2019}};
    for (const auto& [primo, ultimo] : blocchi)
        for (char32_t c = primo; c <= ultimo; ++c) {
            const QString ch = QString::fromUcs4(&c, 1);
            const QString k = Collazione::chiave(ch);
            if (k == ch)
                continue;
            if (k.isEmpty())
                cancellati += ch;
            else if (k.size() == 1)
                da += ch, a += k;
            else
                sostituzioni.insert(ch, k);
        }
    QString lento = QStringLiteral("t");
    for (auto it = sostituzioni.cbegin(); it != sostituzioni.cend(); ++it)
        lento = QStringLiteral("replace(%1, %2, %3)").arg(lento, letterale(it.key()), letterale(it.value()));
    lento = QStringLiteral("translate(%1, %2, %3)").arg(lento, letterale(da + cancellati), letterale(a));
    // Most names are upper-case ASCII, which is its own key, or ASCII with
    // some lower case or apostrophes: only the rest walks the long table.
    QString asciiDa, asciiA;
    for (char c = 'a'; c <= 'z'; ++c)
        asciiDa += QLatin1Char(c), asciiA += QLatin1Char(char(c - 32));
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $f$ "
               "SELECT CASE WHEN t !~ '[^\\x01-\\x26\\x28-\\x5f\\x7b-\\x7f]' THEN t "
               "WHEN t !~ '[^\\x01-\\x7f]' THEN translate(t, %2, %3) "
               "ELSE %4 END $f$")
        .arg(QLatin1String(funzioneNomi), letterale(asciiDa + QStringLiteral("'`")), letterale(asciiA), lento);
}

}  // namespace DialettoPostgres
