#pragma once

// Services of the desktop shell that the core only hands requests to: the
// folder picker and the launch of programs, documents and web addresses.
// Implementations live with the window (Qt); tests use recording doubles.

#include <optional>
#include <string>

namespace kelvra {

/// Shows the system's folder picker. The implementation owns the owner
/// window it is created for, keeps the rest of the application disabled
/// while the picker is open, and runs on the main (window) thread.
class FolderPicker {
public:
    virtual ~FolderPicker() = default;

    /// Shows the picker with `title` as its instruction text, rooted at the
    /// desktop, admitting file-system folders only, preselecting
    /// `startFolder` when it is not empty. Returns the chosen folder's path
    /// (no trailing delimiter except for a root), or nothing on cancel.
    virtual std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) = 0;
};

/// Opens a program, document or web address the way the shell does. Runs on
/// the main thread; failures are silent.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;

    /// Opens `file` with the default verb, passing `parameters` unchanged,
    /// with the application folder (no trailing delimiter) as working folder
    /// and the normal show state. The shell's answer is ignored.
    virtual void LaunchProgram(const std::string& file, const std::string& parameters) = 0;
};

} // namespace kelvra
