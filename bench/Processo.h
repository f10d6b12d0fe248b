#pragma once
// What the benchmarks share to measure a program as a whole process: run it
// and take its wall time, processor time and peak memory; or do some work in
// a child process, so that its memory never counts in a later child's peak
// (a forked child starts with its parent's pages).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using Orologio = std::chrono::steady_clock;
inline double secondiDa(Orologio::time_point inizio)
{
    return std::chrono::duration<double>(Orologio::now() - inizio).count();
}

// A figure of this process from /proc/self/status, in KiB ("VmRSS", "VmHWM"); -1 if absent.
inline long statoKb(const char* voce)
{
    std::ifstream f("/proc/self/status");
    std::string riga;
    const std::string chiave = std::string(voce) + ":";
    while (std::getline(f, riga))
        if (riga.rfind(chiave, 0) == 0)
            return std::strtol(riga.c_str() + chiave.size(), nullptr, 10);
    return -1;
}

namespace Processo {

struct Esecuzione {
    double secondi = 0;
    double cpu = 0;  // user + system
    long piccoKb = 0;
    int codice = -1;
};

// Runs a program (its output thrown away, `ingresso` as its input) and waits for it.
inline Esecuzione esegui(const std::vector<std::string>& argomenti, const char* ingresso = nullptr)
{
    Esecuzione e;
    std::fflush(stdout);
    const auto t = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (ingresso && !std::freopen(ingresso, "r", stdin))
            _exit(126);
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
            _exit(126);
        std::vector<char*> v;
        for (const auto& a : argomenti)
            v.push_back(const_cast<char*>(a.c_str()));
        v.push_back(nullptr);
        execvp(v[0], v.data());
        _exit(127);
    }
    int stato = 0;
    rusage uso{};
    wait4(pid, &stato, 0, &uso);
    e.secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    e.cpu = double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) + double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    e.piccoKb = uso.ru_maxrss;
    e.codice = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    return e;
}

// Runs `lavoro` in a child process; false when it failed (it prints why).
inline bool inDisparte(const std::function<bool()>& lavoro)
{
    std::fflush(stdout);
    const pid_t figlio = fork();
    if (figlio == 0)
        _exit(lavoro() ? 0 : 1);
    int stato = 0;
    waitpid(figlio, &stato, 0);
    return WIFEXITED(stato) && WEXITSTATUS(stato) == 0;
}

}  // namespace Processo
