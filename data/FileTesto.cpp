#include "FileTesto.h"

#include "Errore.h"

namespace Cp1252 {

namespace {
// 0x80-0x9F; the five bytes Windows-1252 leaves undefined map to the C1
// controls of the same value, as Windows itself decodes them.
constexpr char16_t alti[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

void decodifica(const char* dati, qsizetype n, QString& testo)
{
    testo.resize(n);
    char16_t* out = reinterpret_cast<char16_t*>(testo.data());
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(dati[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? alti[b - 0x80] : char16_t(b);
    }
}

QString decodifica(const char* dati, qsizetype n)
{
    QString s;
    decodifica(dati, n, s);
    return s;
}

QByteArray codifica(const QString& testo)
{
    QByteArray b;
    b.reserve(testo.size());
    for (QChar ch : testo) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b.append(char(u));
            continue;
        }
        char c = '?';
        for (int i = 0; i < 32; ++i)
            if (alti[i] == u)
                c = char(0x80 + i);
        b.append(c);
    }
    return b;
}

}  // namespace Cp1252

LettoreTesto::LettoreTesto(const QString& file) : file_(file)
{
    if (!file_.open(QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Impossibile aprire il file \"%1\": %2").arg(file, file_.errorString()));
    buf_.resize(1 << 20);
}

bool LettoreTesto::riempi()
{
    if (inizioBuf_ < fineBuf_)
        return true;
    if (ctrlZ_)
        return false;
    const qint64 n = file_.read(buf_.data(), buf_.size());
    if (n < 0)
        throw Errore(QStringLiteral("Errore di lettura del file \"%1\": %2").arg(file_.fileName(), file_.errorString()));
    letti_ += n;
    inizioBuf_ = 0;
    fineBuf_ = qsizetype(n);
    return n > 0;
}

bool LettoreTesto::fine()
{
    if (!riempi())
        return true;
    if (buf_[inizioBuf_] == '\x1a') {
        ctrlZ_ = true;
        inizioBuf_ = fineBuf_;
        return true;
    }
    return false;
}

void LettoreTesto::leggiRigaByte(QByteArray& riga)
{
    riga.clear();
    while (!fine()) {
        const char* p = buf_.constData() + inizioBuf_;
        const qsizetype n = fineBuf_ - inizioBuf_;
        qsizetype i = 0;
        while (i < n && p[i] != '\n' && p[i] != '\r' && p[i] != '\x1a')
            ++i;
        riga.append(p, i);
        inizioBuf_ += i;
        if (i == n)
            continue;
        const char c = p[i];
        if (c == '\x1a')
            return;  // fine() marks the end of the file
        ++inizioBuf_;
        if (c == '\n')
            return;
        // a CR: dropped, whether or not a LF follows
    }
}

QString LettoreTesto::leggiRiga()
{
    QByteArray b;
    leggiRigaByte(b);
    return Cp1252::decodifica(b);
}

void LettoreTesto::riavvolgi()
{
    if (!file_.seek(0))
        throw Errore(QStringLiteral("Errore di lettura del file \"%1\": %2").arg(file_.fileName(), file_.errorString()));
    inizioBuf_ = fineBuf_ = 0;
    letti_ = 0;
    ctrlZ_ = false;
}

void ScriviFileTesto(const QString& file, const QString& testo)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\": %2").arg(file, f.errorString()));
    const QByteArray b = Cp1252::codifica(testo);
    if (f.write(b) != b.size() || !f.flush())
        throw Errore(QStringLiteral("Errore di scrittura del file \"%1\": %2").arg(file, f.errorString()));
}
