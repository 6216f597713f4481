#pragma once

// The QApplication of kelvra. An error that leaves an event handler (a slot, a
// timer tick) is caught here and shown in the window's standard error box
// (the message, the program title, OK and the error icon); the program goes
// on. Main thread only.

#include <QApplication>

namespace kelvra {

class MessageBoxService;

class KelvraApplication : public QApplication {
    Q_OBJECT
public:
    KelvraApplication(int& argc, char** argv);

    /// Where handler errors are shown; null: written to standard error.
    void SetErrorReport(MessageBoxService* messageBoxes) { m_messageBoxes = messageBoxes; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageBoxService* m_messageBoxes = nullptr;
};

/// The program: settings loaded first, then the language, the single-instance
/// lock, the main window and its message loop; the settings are saved after
/// the window is gone. Returns the exit code.
int RunKelvra(int argc, char** argv);

} // namespace kelvra
