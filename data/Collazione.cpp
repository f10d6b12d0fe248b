#include "Collazione.h"

#include <QRegularExpression>
#include <cstring>

namespace Collazione {

namespace {

// Decodes one UTF-8 character at s[i], advancing i; bad bytes read as themselves.
char32_t leggi(std::string_view s, size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    auto cont = [&](size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    if (b < 0x80) {
        ++i;
        return b;
    }
    if ((b & 0xE0) == 0xC0 && cont(1)) {
        const char32_t c = char32_t(b & 0x1F) << 6 | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
        i += 2;
        return c;
    }
    if ((b & 0xF0) == 0xE0 && cont(1) && cont(2)) {
        const char32_t c = char32_t(b & 0x0F) << 12 | char32_t(static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6 |
                           (static_cast<unsigned char>(s[i + 2]) & 0x3F);
        i += 3;
        return c;
    }
    if ((b & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
        const char32_t c = char32_t(b & 0x07) << 18 | char32_t(static_cast<unsigned char>(s[i + 1]) & 0x3F) << 12 |
                           char32_t(static_cast<unsigned char>(s[i + 2]) & 0x3F) << 6 |
                           (static_cast<unsigned char>(s[i + 3]) & 0x3F);
        i += 4;
        return c;
    }
    ++i;
    return b;
}

// The folded form of one character: up to two characters, none for an
// apostrophe. Covers the repertoire of the Windows-1252 files the names come
// from; anything else is upper-cased as it stands.
struct Piegato {
    char32_t c[2];
    int n;
};

Piegato piega(char32_t c)
{
    if (c < 0x80) {
        if (c == u'\'' || c == u'`')
            return {{}, 0};
        if (c >= u'a' && c <= u'z')
            return {{c - 32}, 1};
        return {{c}, 1};
    }
    if (c >= 0xC0 && c <= 0xFF) {
        // À..ÿ: the base letter of each, upper case
        static const char* const base[64] = {
            "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
            "D", "N", "O", "O", "O", "O", "O", "\xD7", "O", "U", "U", "U", "U", "Y", "TH", "SS",
            "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
            "D", "N", "O", "O", "O", "O", "O", "\xF7", "O", "U", "U", "U", "U", "Y", "TH", "Y"};
        const char* b = base[c - 0xC0];
        const auto k = std::strlen(b);
        if (k == 1)
            return {{static_cast<unsigned char>(b[0])}, 1};
        return {{char32_t(b[0]), char32_t(b[1])}, 2};
    }
    switch (c) {
    case 0xB4:    // acute accent used as an apostrophe
    case 0x2018:  // typographic apostrophes
    case 0x2019:
        return {{}, 0};
    case 0x152:
    case 0x153: return {{u'O', u'E'}, 2};
    case 0x160:
    case 0x161: return {{u'S'}, 1};
    case 0x17D:
    case 0x17E: return {{u'Z'}, 1};
    case 0x178: return {{u'Y'}, 1};
    default: break;
    }
    const char32_t u = QChar::toUpper(c);
    return {{u}, 1};
}

// Walks the folded characters of a text, one at a time.
class Piegatore {
public:
    explicit Piegatore(std::string_view s) : s_(s) {}
    // The next folded character, or 0 at the end.
    char32_t prossimo()
    {
        while (k_ >= p_.n) {
            if (i_ >= s_.size())
                return 0;
            p_ = piega(leggi(s_, i_));
            k_ = 0;
        }
        return p_.c[k_++];
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    Piegato p_{{}, 0};
    int k_ = 0;
};

void scriviUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

}  // namespace

int confronta(std::string_view a, std::string_view b)
{
    // Plain upper-case ASCII without apostrophes, the common case, folds to itself.
    Piegatore pa(a), pb(b);
    for (;;) {
        const char32_t x = pa.prossimo(), y = pb.prossimo();
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            break;
    }
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string chiave(std::string_view utf8)
{
    std::string k;
    k.reserve(utf8.size());
    Piegatore p(utf8);
    for (char32_t c = p.prossimo(); c != 0; c = p.prossimo())
        scriviUtf8(c, k);
    return k;
}

QString chiave(const QString& testo)
{
    const std::string k = chiave(testo.toStdString());
    return QString::fromUtf8(k.data(), qsizetype(k.size()));
}

QString ordinaNomi(const QString& sql)
{
    static const QRegularExpression orderBy(QStringLiteral(R"(\bORDER\s+BY\s)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression termine(
        QStringLiteral(R"(^(\s*(?:\w+\.)?(?:Denominazione|Cognome|Nome))(\s+(?:ASC|DESC))?(\s*)$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = orderBy.match(sql);
    if (!m.hasMatch())
        return sql;
    const qsizetype inizio = m.capturedEnd();
    // the terms run to the end of the text, or to a LIMIT
    static const QRegularExpression fine(QStringLiteral(R"(\bLIMIT\b|;)"), QRegularExpression::CaseInsensitiveOption);
    const auto f = fine.match(sql, inizio);
    const qsizetype stop = f.hasMatch() ? f.capturedStart() : sql.size();
    const QStringList termini = sql.mid(inizio, stop - inizio).split(QLatin1Char(','));
    QStringList nuovi;
    bool cambiato = false;
    for (const QString& t : termini) {
        const auto mt = termine.match(t);
        if (mt.hasMatch()) {
            nuovi << mt.captured(1) + QStringLiteral(" COLLATE ") + QLatin1String(nome) + mt.captured(2) + mt.captured(3);
            cambiato = true;
        } else {
            nuovi << t;
        }
    }
    if (!cambiato)
        return sql;
    return sql.left(inizio) + nuovi.join(QLatin1Char(',')) + sql.mid(stop);
}

}  // namespace Collazione
