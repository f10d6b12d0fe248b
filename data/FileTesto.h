#pragma once
// Text files of the workstation's code page (Windows-1252): the supply file,
// the exchange files of the waste-tax program, sorvel.ini. A line ends at LF
// or CR LF, a CR not followed by LF is dropped, a Ctrl-Z ends the file.

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

class LettoreTesto {
public:
    // Raises Errore with the system's reason when the file cannot be opened.
    explicit LettoreTesto(const QString& file);

    // Reads the next line. Reading always yields a line, so an empty file
    // reads as one empty line; call fine() afterwards to know whether more follow.
    QString leggiRiga();
    // The raw bytes of the next line, without decoding.
    void leggiRigaByte(QByteArray& riga);
    bool fine();
    void riavvolgi();

private:
    bool riempi();

    QFile file_;
    QByteArray buf_;
    qsizetype inizioBuf_ = 0, fineBuf_ = 0;
    qint64 letti_ = 0;
    bool ctrlZ_ = false;
};

// Writes `testo` in Windows-1252; raises Errore on failure.
void ScriviFileTesto(const QString& file, const QString& testo);
