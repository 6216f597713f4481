#include "platform/termination_request.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvra {
namespace {

int g_writeEnd = -1;

void WriteWakeByte(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe means a wake-up
    // is pending already.
    [[maybe_unused]] const ssize_t written = write(g_writeEnd, &byte, 1);
}

} // namespace

void OnTerminationRequest(QObject* context, std::function<void()> handler)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return; // the program still runs; it only ends less gently on a signal
    g_writeEnd = ends[0];
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [readEnd = ends[1], handler] {
        char bytes[16];
        while (read(readEnd, bytes, sizeof bytes) > 0) {
        }
        handler();
    });
    struct sigaction action {};
    action.sa_handler = WriteWakeByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace kelvra
