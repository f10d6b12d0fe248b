#include "Espressione.h"

#include "Errore.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

// --- values -------------------------------------------------------------------

namespace Valori {

namespace {
const QDate zero(1899, 12, 30);  // day 0 of the report designer's calendar
}

bool intero(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar: return true;
    default: return false;
    }
}

bool testuale(const QVariant& v) { return v.typeId() == QMetaType::QString; }
bool data(const QVariant& v) { return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime; }

QString testo(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime: return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    default:
        if (intero(v))
            return QString::number(v.toLongLong());
        return v.toString();
    }
}

double numero(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return 0;
    switch (v.typeId()) {
    case QMetaType::QDate: return double(zero.daysTo(v.toDate()));
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        return double(zero.daysTo(t.date())) + t.time().msecsSinceStartOfDay() / 86400000.0;
    }
    case QMetaType::QTime: return v.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return 0;
        bool ok = false;
        double d = s.toDouble(&ok);
        if (!ok)
            d = QString(s).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            throw Errore(QStringLiteral("'%1' non è un numero valido").arg(s));
        return d;
    }
    default: return v.toDouble();
    }
}

}  // namespace Valori

// --- the tree -------------------------------------------------------------------

struct Espressione::Nodo {
    virtual ~Nodo() = default;
    virtual QVariant valuta(AmbitoEspressioni& a) const = 0;
};

namespace {

using NodoPtr = std::shared_ptr<const Espressione::Nodo>;

struct Costante : Espressione::Nodo {
    QVariant v;
    explicit Costante(QVariant x) : v(std::move(x)) {}
    QVariant valuta(AmbitoEspressioni&) const override { return v; }
};

struct Colonna : Espressione::Nodo {
    QString dati, campo;
    Colonna(QString d, QString c) : dati(std::move(d)), campo(std::move(c)) {}
    QVariant valuta(AmbitoEspressioni& a) const override { return a.colonna(dati, campo); }
};

struct Nome : Espressione::Nodo {
    QString nome;
    explicit Nome(QString n) : nome(std::move(n)) {}
    QVariant valuta(AmbitoEspressioni& a) const override { return a.nome(nome); }
};

struct Somma : Espressione::Nodo {
    int indice;
    explicit Somma(int i) : indice(i) {}
    QVariant valuta(AmbitoEspressioni& a) const override { return a.somma(indice); }
};

bool vero(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (Valori::testuale(v))
        return v.toString().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    return Valori::numero(v) != 0;
}

// The result of an arithmetic operation: a whole number when both sides are
// whole numbers and it fits, else a double.
QVariant numerico(double d, bool interi)
{
    if (interi && std::fabs(d) < 9e15)
        return QVariant(qint64(d));
    return QVariant(d);
}

enum class Op { Piu, Meno, Per, Diviso, Div, Mod, Uguale, Diverso, Minore, Maggiore, MinoreUguale, MaggioreUguale, E, O };

struct Binario : Espressione::Nodo {
    Op op;
    NodoPtr a, b;
    Binario(Op o, NodoPtr x, NodoPtr y) : op(o), a(std::move(x)), b(std::move(y)) {}

    QVariant valuta(AmbitoEspressioni& amb) const override
    {
        if (op == Op::E)
            return QVariant(vero(a->valuta(amb)) && vero(b->valuta(amb)));
        if (op == Op::O)
            return QVariant(vero(a->valuta(amb)) || vero(b->valuta(amb)));
        const QVariant x = a->valuta(amb), y = b->valuta(amb);
        const bool testi = Valori::testuale(x) || Valori::testuale(y);
        const bool interi = (Valori::intero(x) || x.isNull()) && (Valori::intero(y) || y.isNull());
        switch (op) {
        case Op::Piu:
            if (testi)
                return QVariant(Valori::testo(x) + Valori::testo(y));
            return numerico(Valori::numero(x) + Valori::numero(y), interi);
        case Op::Meno: return numerico(Valori::numero(x) - Valori::numero(y), interi);
        case Op::Per: return numerico(Valori::numero(x) * Valori::numero(y), interi);
        case Op::Diviso:
        case Op::Div:
        case Op::Mod: {
            const double d = Valori::numero(y);
            if (d == 0)
                throw Errore(QStringLiteral("Divisione per zero"));
            const double n = Valori::numero(x);
            if (op == Op::Diviso)
                return QVariant(n / d);
            const auto in = qint64(std::trunc(n)), id = qint64(std::trunc(d));
            if (id == 0)
                throw Errore(QStringLiteral("Divisione per zero"));
            return QVariant(op == Op::Div ? in / id : in % id);
        }
        default: break;
        }
        int c;
        if (testi) {
            c = Valori::testo(x).compare(Valori::testo(y));
        } else {
            const double n = Valori::numero(x), m = Valori::numero(y);
            c = n < m ? -1 : (n > m ? 1 : 0);
        }
        switch (op) {
        case Op::Uguale: return QVariant(c == 0);
        case Op::Diverso: return QVariant(c != 0);
        case Op::Minore: return QVariant(c < 0);
        case Op::Maggiore: return QVariant(c > 0);
        case Op::MinoreUguale: return QVariant(c <= 0);
        default: return QVariant(c >= 0);
        }
    }
};

struct Negazione : Espressione::Nodo {
    bool logica;  // not, else the minus sign
    NodoPtr a;
    Negazione(bool l, NodoPtr x) : logica(l), a(std::move(x)) {}
    QVariant valuta(AmbitoEspressioni& amb) const override
    {
        const QVariant v = a->valuta(amb);
        if (logica)
            return QVariant(!vero(v));
        return numerico(-Valori::numero(v), Valori::intero(v) || v.isNull());
    }
};

enum class Funzione { IIF, Round, YearOf, DateToStr, Trim, UpperCase };

struct Chiamata : Espressione::Nodo {
    Funzione f;
    std::vector<NodoPtr> arg;
    Chiamata(Funzione x, std::vector<NodoPtr> a) : f(x), arg(std::move(a)) {}

    static QDate comeData(const QVariant& v)
    {
        if (v.typeId() == QMetaType::QDate && !v.isNull())
            return v.toDate();
        if (v.typeId() == QMetaType::QDateTime && !v.isNull())
            return v.toDateTime().date();
        return QDate(1899, 12, 30).addDays(qint64(std::floor(Valori::numero(v))));
    }

    QVariant valuta(AmbitoEspressioni& amb) const override
    {
        switch (f) {
        case Funzione::IIF: return vero(arg[0]->valuta(amb)) ? arg[1]->valuta(amb) : arg[2]->valuta(amb);
        case Funzione::Round: {
            // to the nearest whole number, halves away from zero
            const double d = std::round(Valori::numero(arg[0]->valuta(amb)));
            if (std::fabs(d) > 9e18)
                throw Errore(QStringLiteral("Round: valore fuori intervallo"));
            return QVariant(qint64(d));
        }
        case Funzione::YearOf: return QVariant(qint64(comeData(arg[0]->valuta(amb)).year()));
        case Funzione::DateToStr: return QVariant(comeData(arg[0]->valuta(amb)).toString(QStringLiteral("dd/MM/yyyy")));
        case Funzione::Trim: return QVariant(Valori::testo(arg[0]->valuta(amb)).trimmed());
        case Funzione::UpperCase: return QVariant(Valori::testo(arg[0]->valuta(amb)).toUpper());
        }
        return {};
    }
};

// --- the parser -------------------------------------------------------------------

class Analizzatore {
public:
    Analizzatore(const QString& t, const RegistraSomma& s) : t_(t), somme_(s) {}

    NodoPtr tutto()
    {
        NodoPtr n = espressione(true);
        spazi();
        if (i_ < t_.size())
            errore(QStringLiteral("testo inatteso"));
        return n;
    }

private:
    [[noreturn]] void errore(const QString& cosa) const
    {
        throw Errore(QStringLiteral("Espressione non valida \"%1\": %2 alla posizione %3").arg(t_, cosa).arg(i_ + 1));
    }

    void spazi()
    {
        while (i_ < t_.size() && t_[i_].isSpace())
            ++i_;
    }

    bool prendi(QStringView s)
    {
        spazi();
        if (QStringView(t_).mid(i_, s.size()) == s) {
            i_ += s.size();
            return true;
        }
        return false;
    }

    static bool inizioNome(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
    static bool parteNome(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#'); }

    // A keyword (and, or, not, div, mod) as a whole word, any case.
    bool parola(QLatin1StringView p)
    {
        spazi();
        const qsizetype n = p.size();
        if (t_.size() - i_ < n || QStringView(t_).mid(i_, n).compare(p, Qt::CaseInsensitive) != 0)
            return false;
        if (i_ + n < t_.size() && parteNome(t_[i_ + n]))
            return false;
        i_ += n;
        return true;
    }

    // Comparisons are left out at the top of <...>, whose closing > would read
    // as "greater than".
    NodoPtr espressione(bool confronti)
    {
        NodoPtr a = additiva();
        if (!confronti)
            return a;
        spazi();
        static const std::pair<const char*, Op> ops[] = {{"<>", Op::Diverso}, {"<=", Op::MinoreUguale},
                                                         {">=", Op::MaggioreUguale}, {"=", Op::Uguale},
                                                         {"<", Op::Minore}, {">", Op::Maggiore}};
        for (const auto& [s, op] : ops)
            if (prendi(QString::fromLatin1(s)))
                return std::make_shared<Binario>(op, a, additiva());
        return a;
    }

    NodoPtr additiva()
    {
        NodoPtr a = moltiplicativa();
        for (;;) {
            if (prendi(u"+"))
                a = std::make_shared<Binario>(Op::Piu, a, moltiplicativa());
            else if (prendi(u"-"))
                a = std::make_shared<Binario>(Op::Meno, a, moltiplicativa());
            else if (parola(QLatin1StringView("or")))
                a = std::make_shared<Binario>(Op::O, a, moltiplicativa());
            else
                return a;
        }
    }

    NodoPtr moltiplicativa()
    {
        NodoPtr a = unaria();
        for (;;) {
            if (prendi(u"*"))
                a = std::make_shared<Binario>(Op::Per, a, unaria());
            else if (prendi(u"/"))
                a = std::make_shared<Binario>(Op::Diviso, a, unaria());
            else if (parola(QLatin1StringView("div")))
                a = std::make_shared<Binario>(Op::Div, a, unaria());
            else if (parola(QLatin1StringView("mod")))
                a = std::make_shared<Binario>(Op::Mod, a, unaria());
            else if (parola(QLatin1StringView("and")))
                a = std::make_shared<Binario>(Op::E, a, unaria());
            else
                return a;
        }
    }

    NodoPtr unaria()
    {
        if (prendi(u"-"))
            return std::make_shared<Negazione>(false, unaria());
        if (prendi(u"+"))
            return unaria();
        if (parola(QLatin1StringView("not")))
            return std::make_shared<Negazione>(true, unaria());
        return primaria();
    }

    QString nome()
    {
        spazi();
        if (i_ >= t_.size() || !inizioNome(t_[i_]))
            errore(QStringLiteral("atteso un nome"));
        const qsizetype da = i_;
        while (i_ < t_.size() && parteNome(t_[i_]))
            ++i_;
        return t_.mid(da, i_ - da);
    }

    QString stringa(QChar chiusura)
    {
        QString s;
        for (;;) {
            if (i_ >= t_.size())
                errore(QStringLiteral("testo non chiuso"));
            const QChar c = t_[i_++];
            if (c == chiusura) {
                if (i_ < t_.size() && t_[i_] == chiusura) {
                    s += c;
                    ++i_;
                    continue;
                }
                return s;
            }
            s += c;
        }
    }

    NodoPtr primaria()
    {
        spazi();
        if (i_ >= t_.size())
            errore(QStringLiteral("espressione incompleta"));
        const QChar c = t_[i_];
        if (c == QLatin1Char('(')) {
            ++i_;
            NodoPtr n = espressione(true);
            if (!prendi(u")"))
                errore(QStringLiteral("manca \")\""));
            return n;
        }
        if (c == QLatin1Char('<')) {
            ++i_;
            NodoPtr n = espressione(false);
            if (!prendi(u">"))
                errore(QStringLiteral("manca \">\""));
            return n;
        }
        if (c == QLatin1Char('\'')) {
            ++i_;
            return std::make_shared<Costante>(QVariant(stringa(QLatin1Char('\''))));
        }
        if (c.isDigit()) {
            const qsizetype da = i_;
            while (i_ < t_.size() && t_[i_].isDigit())
                ++i_;
            bool decimale = false;
            if (i_ + 1 < t_.size() && t_[i_] == QLatin1Char('.') && t_[i_ + 1].isDigit()) {
                decimale = true;
                ++i_;
                while (i_ < t_.size() && t_[i_].isDigit())
                    ++i_;
            }
            const QString cifre = t_.mid(da, i_ - da);
            bool ok = false;
            if (!decimale) {
                const qint64 n = cifre.toLongLong(&ok);
                if (ok)
                    return std::make_shared<Costante>(QVariant(n));
            }
            return std::make_shared<Costante>(QVariant(cifre.toDouble()));
        }
        const QString n = nome();
        spazi();
        if (i_ < t_.size() && t_[i_] == QLatin1Char('.')) {
            ++i_;
            spazi();
            if (i_ >= t_.size() || t_[i_] != QLatin1Char('"'))
                errore(QStringLiteral("atteso il nome di un campo tra virgolette"));
            ++i_;
            return std::make_shared<Colonna>(n, stringa(QLatin1Char('"')));
        }
        if (i_ < t_.size() && t_[i_] == QLatin1Char('('))
            return chiamata(n);
        if (n.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return std::make_shared<Costante>(QVariant(true));
        if (n.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return std::make_shared<Costante>(QVariant(false));
        return std::make_shared<Nome>(n);
    }

    NodoPtr chiamata(const QString& n)
    {
        ++i_;  // (
        if (n.compare(QLatin1String("SUM"), Qt::CaseInsensitive) == 0) {
            NodoPtr arg = espressione(true);
            if (!prendi(u","))
                errore(QStringLiteral("SUM richiede la banda"));
            const QString banda = nome();
            if (!prendi(u")"))
                errore(QStringLiteral("manca \")\""));
            if (!somme_)
                errore(QStringLiteral("SUM non ammesso qui"));
            return std::make_shared<Somma>(somme_(Espressione::daNodo(arg), banda));
        }
        static const std::pair<const char*, std::pair<Funzione, int>> funzioni[] = {
            {"IIF", {Funzione::IIF, 3}},          {"Round", {Funzione::Round, 1}},
            {"YearOf", {Funzione::YearOf, 1}},    {"DateToStr", {Funzione::DateToStr, 1}},
            {"Trim", {Funzione::Trim, 1}},        {"UpperCase", {Funzione::UpperCase, 1}},
        };
        for (const auto& [nomeF, def] : funzioni) {
            if (n.compare(QLatin1String(nomeF), Qt::CaseInsensitive) != 0)
                continue;
            std::vector<NodoPtr> arg;
            if (!prendi(u")")) {
                do
                    arg.push_back(espressione(true));
                while (prendi(u","));
                if (!prendi(u")"))
                    errore(QStringLiteral("manca \")\""));
            }
            if (int(arg.size()) != def.second)
                errore(QStringLiteral("%1 richiede %2 argomenti").arg(n).arg(def.second));
            return std::make_shared<Chiamata>(def.first, std::move(arg));
        }
        errore(QStringLiteral("funzione sconosciuta %1").arg(n));
    }

    const QString& t_;
    const RegistraSomma& somme_;
    qsizetype i_ = 0;
};

}  // namespace

Espressione Espressione::compila(const QString& testo, const RegistraSomma& somme)
{
    Analizzatore a(testo, somme);
    return Espressione(a.tutto());
}

QVariant Espressione::valuta(AmbitoEspressioni& ambito) const
{
    return radice_ ? radice_->valuta(ambito) : QVariant();
}

// --- texts with bracketed expressions -------------------------------------------------

TestoReport TestoReport::compila(const QString& testo, const RegistraSomma& somme)
{
    TestoReport r;
    QString letterale;
    qsizetype i = 0;
    while (i < testo.size()) {
        const QChar c = testo[i];
        if (c != QLatin1Char('[')) {
            letterale += c;
            ++i;
            continue;
        }
        // the closing bracket, skipping quoted texts and nested brackets
        qsizetype j = i + 1;
        int livello = 1;
        QChar virgolette;
        for (; j < testo.size(); ++j) {
            const QChar d = testo[j];
            if (!virgolette.isNull()) {
                if (d == virgolette)
                    virgolette = QChar();
            } else if (d == QLatin1Char('\'') || d == QLatin1Char('"')) {
                virgolette = d;
            } else if (d == QLatin1Char('[')) {
                ++livello;
            } else if (d == QLatin1Char(']') && --livello == 0) {
                break;
            }
        }
        if (j >= testo.size())
            throw Errore(QStringLiteral("Espressione non chiusa nel testo \"%1\"").arg(testo));
        if (!letterale.isEmpty())
            r.parti_.push_back({letterale, {}});
        letterale.clear();
        r.parti_.push_back({QString(), Espressione::compila(testo.mid(i + 1, j - i - 1), somme)});
        i = j + 1;
    }
    if (!letterale.isEmpty())
        r.parti_.push_back({letterale, {}});
    return r;
}

TestoReport::Risultato TestoReport::valuta(AmbitoEspressioni& ambito) const
{
    Risultato r;
    if (parti_.size() == 1 && !parti_[0].espressione.vuota()) {
        r.valore = parti_[0].espressione.valuta(ambito);
        r.testo = Valori::testo(r.valore);
        return r;
    }
    for (const Parte& p : parti_)
        r.testo += p.espressione.vuota() ? p.letterale : Valori::testo(p.espressione.valuta(ambito));
    return r;
}
