#pragma once
// The fields of one supply line: every field, the last one too, is ended by
// "|". Field n (from 1) is the text between the (n-1)-th and the n-th bar,
// exactly as it stands; a field beyond the last bar is the end marker "$".
// The program's one field splitter: the import reads its lines through it,
// and TdTabelle::EstraiCampo is built on it.

#include <QString>
#include <QStringView>
#include <vector>

class CampiRiga {
public:
    CampiRiga() = default;
    explicit CampiRiga(QStringView riga) { dividi(riga); }

    // Splits `riga`, reusing the storage of the previous line. The fields
    // are views into `riga`, valid while it lives unchanged.
    void dividi(QStringView riga);

    QString operator()(int n) const { return vista(n).toString(); }
    QStringView vista(int n) const { return fine(n) ? QStringView(u"$") : campi_[size_t(n - 1)]; }
    bool fine(int n) const { return n < 1 || n > int(campi_.size()); }  // field n is "$"
    int barre() const { return int(campi_.size()); }

private:
    std::vector<QStringView> campi_;
};
