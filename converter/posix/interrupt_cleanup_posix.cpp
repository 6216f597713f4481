#include "converter/interrupt_cleanup.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace kelvra {

namespace {

// Only async-signal-safe state: a fixed buffer and an atomic flag.
char g_path[4096];
volatile std::sig_atomic_t g_armed = 0;
bool g_installed = false;

void OnInterrupt(int signalNumber)
{
    if (g_armed)
        unlink(g_path);
    // End the way the signal would have ended the program.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void InstallHandlers()
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        sigaction(signalNumber, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = &OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
    g_installed = true;
}

} // namespace

void RemoveFileOnInterrupt(const std::string& path)
{
    g_armed = 0;
    if (path.empty() || path.size() >= sizeof g_path)
        return;
    std::memcpy(g_path, path.c_str(), path.size() + 1);
    if (!g_installed)
        InstallHandlers();
    g_armed = 1;
}

} // namespace kelvra
