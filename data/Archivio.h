#pragma once
// Column-wise storage of a data set's rows: whole numbers and dates as 64-bit
// integers, texts packed as UTF-8 in one buffer per column. A million owner
// rows fit in a few tens of megabytes.

#include "Campo.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Comando;

class ColonnaValori {
public:
    explicit ColonnaValori(TipoCampo tipo) : tipo_(tipo) {}

    TipoCampo tipo() const { return tipo_; }
    void cambiaTipo(TipoCampo t) { tipo_ = t; }  // only while every value is null
    size_t size() const { return nulli_.size(); }
    bool nullo(size_t r) const { return nulli_[r]; }
    bool tuttiNulli() const { return nNulli_ == nulli_.size(); }

    qint64 numero(size_t r) const { return numeri_[r]; }
    std::string_view utf8(size_t r) const
    {
        const auto& p = pos_[r];
        return std::string_view(testi_.data() + p.first, p.second);
    }

    QVariant valore(size_t r) const;
    void aggiungi(const ValoreCampo& v);
    void aggiungiDaSql(const Comando& c, int colonna);
    void imposta(size_t r, const ValoreCampo& v);

private:
    void aggiungiNullo();
    void aggiungiTesto(std::string_view u);
    bool testuale() const { return tipo_ == TipoCampo::Testo || tipo_ == TipoCampo::Fisso; }

    TipoCampo tipo_;
    std::vector<bool> nulli_;
    size_t nNulli_ = 0;
    std::vector<qint64> numeri_;                       // numbers, booleans, dates (Julian day)
    std::vector<std::pair<uint32_t, uint32_t>> pos_;   // texts: offset and length in testi_
    std::string testi_;
};

struct Archivio {
    std::vector<ColonnaValori> colonne;
    size_t righe() const { return colonne.empty() ? 0 : colonne.front().size(); }
};
