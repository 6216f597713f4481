#pragma once

// Message boxes of the windowed program. Callers state the box the way the
// system's message box is told: text, caption and flags (buttons, icon,
// top-most), and get back the button pressed. Tests answer with a recording
// double and assert exactly what would have been shown. Main thread only.

#include <string>

namespace kelvra {

// Buttons.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
// Icons.
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconWarning = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
// The box stays above every other window.
inline constexpr unsigned kMbTopMost = 0x40000;

// Answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;

    /// Shows `text` with `caption` as the title and waits for the answer:
    /// kIdOk or kIdCancel (closing the box counts as Cancel where Cancel is
    /// offered, as OK otherwise).
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

} // namespace kelvra
