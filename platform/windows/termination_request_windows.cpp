// Windows asks a window program to end through its session (log-off, shut
// down: WM_QUERYENDSESSION), which Qt reports on the main thread as a
// commit-data request. A forced end (TerminateProcess) cannot be answered.

#include "platform/termination_request.h"

#include <QGuiApplication>
#include <QObject>
#include <QSessionManager>

namespace kelvra {

void OnTerminationRequest(QObject* context, std::function<void()> handler)
{
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, context,
                     [handler = std::move(handler)](QSessionManager&) { handler(); });
}

} // namespace kelvra
