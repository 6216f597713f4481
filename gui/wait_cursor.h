#pragma once

// The hourglass cursor for the length of a scope: shown on construction,
// the default cursor restored on destruction, also when an error leaves the
// scope. Restore() gives the default cursor back earlier. Main thread only.

#include <QGuiApplication>

namespace kelvra {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Restore()
    {
        if (m_shown) {
            QGuiApplication::restoreOverrideCursor();
            m_shown = false;
        }
    }

private:
    bool m_shown = true;
};

} // namespace kelvra
