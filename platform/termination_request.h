#pragma once

// Lets a window program end in order when the system asks it to end (logout,
// "kill", Ctrl+C in the terminal that started it), so that what it saves at
// its end is saved. On Linux: SIGTERM, SIGINT and SIGHUP; the signal handler
// only writes a byte into a pipe, and the handler runs later on the main
// thread, from the Qt event loop. Install once, from the main thread, after
// the QApplication exists; `context` owns the notification (its end ends it).

#include <functional>

class QObject;

namespace kelvra {

void OnTerminationRequest(QObject* context, std::function<void()> handler);

} // namespace kelvra
