#include "CampiRiga.h"

void CampiRiga::dividi(QStringView riga)
{
    campi_.clear();
    const char16_t* const inizio = riga.utf16();
    const char16_t* da = inizio;
    const char16_t* const fine = inizio + riga.size();
    for (const char16_t* p = inizio; p < fine; ++p)
        if (*p == u'|') {
            campi_.emplace_back(da, p - da);
            da = p + 1;
        }
}
