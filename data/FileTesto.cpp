#include "FileTesto.h"

#include "Errore.h"

#include <QFileInfo>
#include <algorithm>

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

QString MotivoNonFile(const QString& file)
{
    const QFileInfo fi(file);
    if (!fi.exists())
        return QStringLiteral("il file non esiste");
    if (fi.isDir())
        return QStringLiteral("è una cartella, non un file");
    if (!fi.isFile())
        return QStringLiteral("non è un file ordinario (per esempio una pipe o un dispositivo)");
    return {};
}

QString MotivoErroreFile(const QFileDevice& f, bool scrittura)
{
    const QFileInfo fi(f.fileName());
    QString m;
    switch (f.error()) {
    case QFileDevice::ReadError:
        m = QStringLiteral("errore di lettura del disco");
        break;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        m = QStringLiteral("errore di scrittura, il disco potrebbe essere pieno");
        break;
    default:
        if (!scrittura) {
            const QString non = MotivoNonFile(f.fileName());
            if (!non.isEmpty())
                return non;
            m = fi.isReadable() ? QStringLiteral("impossibile aprirlo") : QStringLiteral("permesso di lettura negato");
        } else if (fi.exists() && !fi.isWritable()) {
            m = QStringLiteral("il file è di sola lettura");
        } else if (!QFileInfo(fi.absolutePath()).isWritable()) {
            m = QStringLiteral("la cartella è di sola lettura o non esiste");
        } else {
            m = QStringLiteral("impossibile crearlo");
        }
    }
    return m + QStringLiteral(" (") + f.errorString() + QLatin1Char(')');
}

LettoreTesto::LettoreTesto(const QString& file) : file_(file)
{
    // A pipe would block the program until someone writes into it.
    const QString non = MotivoNonFile(file);
    if (!non.isEmpty())
        throw Errore(QStringLiteral("Impossibile aprire il file \"%1\": %2").arg(file, non));
    if (!file_.open(QIODevice::ReadOnly))
        throw Errore(QStringLiteral("Impossibile aprire il file \"%1\": %2").arg(file, MotivoErroreFile(file_, false)));
    buf_.resize(1 << 20);
    saltaMarcaUtf8();
}

void LettoreTesto::saltaMarcaUtf8()
{
    utf8_ = false;
    if (!riempi())
        return;
    // the first read of an ordinary file returns all it has, up to the buffer's size
    if (fineBuf_ - inizioBuf_ >= 3 && buf_.startsWith("\xEF\xBB\xBF")) {
        inizioBuf_ += 3;
        utf8_ = true;
    }
}

bool LettoreTesto::riempi()
{
    if (inizioBuf_ < fineBuf_)
        return true;
    if (ctrlZ_)
        return false;
    const qint64 n = file_.read(buf_.data(), buf_.size());
    if (n < 0)
        throw Errore(QStringLiteral("Errore di lettura del file \"%1\" alla riga %2: %3")
                         .arg(file_.fileName())
                         .arg(std::max<qint64>(righe_, 1))
                         .arg(MotivoErroreFile(file_, false)));
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

void LettoreTesto::leggiGrezza(QByteArray& riga)
{
    riga.clear();
    ++righe_;
    while (!fine()) {
        const char* p = buf_.constData() + inizioBuf_;
        const qsizetype n = fineBuf_ - inizioBuf_;
        qsizetype i = 0;
        while (i < n && p[i] != '\n' && p[i] != '\r' && p[i] != '\x1a')
            ++i;
        // checked before the bytes are kept: memory stays bounded however long the line
        if (riga.size() + i > rigaMassima)
            throw Errore(QStringLiteral("Riga %1 troppo lunga: più di %2 caratteri nel file \"%3\", che non "
                                        "sembra un file di testo a righe")
                             .arg(righe_)
                             .arg(rigaMassima)
                             .arg(file_.fileName()));
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

void LettoreTesto::leggiRigaByte(QByteArray& riga)
{
    leggiGrezza(riga);
    if (utf8_)
        riga = Cp1252::codifica(QString::fromUtf8(riga));
}

QString LettoreTesto::leggiRiga()
{
    leggiGrezza(grezza_);
    return utf8_ ? QString::fromUtf8(grezza_) : Cp1252::decodifica(grezza_);
}

void LettoreTesto::riavvolgi()
{
    if (!file_.seek(0))
        throw Errore(QStringLiteral("Errore di lettura del file \"%1\": %2").arg(file_.fileName(), MotivoErroreFile(file_, false)));
    inizioBuf_ = fineBuf_ = 0;
    letti_ = 0;
    righe_ = 0;
    ctrlZ_ = false;
    saltaMarcaUtf8();
}

QStringView CampoPulito(QStringView t)
{
    qsizetype a = 0, b = t.size();
    while (a < b && t[a].unicode() <= 0x20)
        ++a;
    while (b > a && t[b - 1].unicode() <= 0x20)
        --b;
    return t.mid(a, b - a);
}

void ScriviFileTesto(const QString& file, const QString& testo)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Errore(QStringLiteral("Impossibile creare il file \"%1\": %2").arg(file, MotivoErroreFile(f, true)));
    const QByteArray b = Cp1252::codifica(testo);
    if (f.write(b) != b.size() || !f.flush())
        throw Errore(QStringLiteral("Errore di scrittura del file \"%1\": %2").arg(file, MotivoErroreFile(f, true)));
}
