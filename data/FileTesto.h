#pragma once
// Text files of the workstation's code page (Windows-1252): the supply file,
// the exchange files of the waste-tax program, sorvel.ini. A line ends at LF
// or CR LF, a CR not followed by LF is dropped, a Ctrl-Z ends the file. A file
// that begins with the UTF-8 byte-order mark was saved again by an editor: it
// is read as UTF-8, without the mark. No line of these files is longer than a
// few hundred characters; a longer one than rigaMassima bytes is an error
// raised before the line is held, so a file without line breaks costs no memory.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace Cp1252 {
QString decodifica(const char* dati, qsizetype n);
// The same into `testo`, which keeps its storage from line to line.
void decodifica(const char* dati, qsizetype n, QString& testo);
inline QString decodifica(const QByteArray& b) { return decodifica(b.constData(), b.size()); }
QByteArray codifica(const QString& testo);  // characters outside the code page become '?'
}  // namespace Cp1252

// Why `file` cannot be opened as a file, in Italian ("il file non esiste",
// a folder, a pipe); empty when it is an ordinary file.
QString MotivoNonFile(const QString& file);
// The reason of a failed open, read or write of `f` (opened for writing
// when `scrittura`), in Italian, with the system's words after it.
QString MotivoErroreFile(const QFileDevice& f, bool scrittura);

class LettoreTesto {
public:
    static constexpr qsizetype rigaMassima = 64 * 1024;

    // Raises Errore naming the file and the reason when it cannot be opened
    // or is not an ordinary file (a folder, a pipe).
    explicit LettoreTesto(const QString& file);

    // Reads the next line. Reading always yields a line, so an empty file
    // reads as one empty line; call fine() afterwards to know whether more follow.
    // A line longer than rigaMassima raises "Riga N troppo lunga".
    QString leggiRiga();
    // The bytes of the next line in Windows-1252, undecoded (a UTF-8 file's
    // line is converted; a character the code page lacks becomes '?').
    void leggiRigaByte(QByteArray& riga);
    bool fine();
    void riavvolgi();
    // Bytes of the file consumed so far.
    qint64 posizione() const { return letti_ - qint64(fineBuf_ - inizioBuf_); }

private:
    bool riempi();
    void leggiGrezza(QByteArray& riga);
    void saltaMarcaUtf8();

    QFile file_;
    QByteArray buf_;
    QByteArray grezza_;
    qsizetype inizioBuf_ = 0, fineBuf_ = 0;
    qint64 letti_ = 0;
    qint64 righe_ = 0;
    bool ctrlZ_ = false;
    bool utf8_ = false;
};

// A text field of an exchange file of the waste-tax program: the blanks and
// control characters at both ends removed.
QStringView CampoPulito(QStringView testo);

// Writes `testo` in Windows-1252; raises Errore on failure.
void ScriviFileTesto(const QString& file, const QString& testo);
