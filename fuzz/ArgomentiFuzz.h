#pragma once
// The command line of a fuzz target that works in a temporary directory:
// paths on it are made absolute first, crash files go where the fuzzer was
// started, and the target's defaults (the input size, its dictionary) are
// added unless given, with -len_control=0 so that whole files are tried from
// the start. libFuzzer reads its flags after LLVMFuzzerInitialize.

#include <QDir>
#include <QString>

#include <cstring>
#include <string>
#include <vector>

inline void PreparaArgomenti(int* argc, char*** argv, const std::string& maxLenPredefinito,
                             const std::string& dictPredefinito)
{
    static std::vector<std::string> testi;
    static std::vector<char*> puntatori;
    const QString qui = QDir::currentPath() + QLatin1Char('/');
    bool maxLen = false, lenControl = false, dict = false, artefatti = false;
    for (int i = 0; i < *argc; ++i) {
        std::string a = (*argv)[i];
        if (i > 0 && !a.empty() && a[0] != '-') {
            a = QDir(qui).absoluteFilePath(QString::fromStdString(a)).toStdString();
        } else {
            for (const char* f : {"-dict=", "-artifact_prefix=", "-exact_artifact_path="})
                if (a.rfind(f, 0) == 0 && a.size() > std::strlen(f) && a[std::strlen(f)] != '/')
                    a = f + (qui + QString::fromStdString(a.substr(std::strlen(f)))).toStdString();
        }
        maxLen |= a.rfind("-max_len=", 0) == 0;
        lenControl |= a.rfind("-len_control=", 0) == 0;
        dict |= a.rfind("-dict=", 0) == 0;
        artefatti |= a.rfind("-artifact_prefix=", 0) == 0;
        testi.push_back(a);
    }
    const auto aggiungi = [&](const std::string& a) { testi.insert(testi.begin() + 1, a); };
    if (!maxLen)
        aggiungi(maxLenPredefinito);
    if (!lenControl)
        aggiungi("-len_control=0");
    if (!dict)
        aggiungi(dictPredefinito);
    if (!artefatti)
        aggiungi("-artifact_prefix=" + qui.toStdString());
    for (std::string& t : testi)
        puntatori.push_back(t.data());
    puntatori.push_back(nullptr);
    *argc = int(testi.size());
    *argv = puntatori.data();
}
