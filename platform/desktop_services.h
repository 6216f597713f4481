#pragma once

// The desktop side of the shell services for the window program (Qt): the
// shell launcher, the folder picker and message boxes. Created by the program
// main; tests use recording doubles instead. Main thread only.
//
// The launcher takes the same file and parameter texts the window hands to
// the Windows shell ("explorer.exe" with " /n,/select, \"<file>\"", "notepad.exe"
// with "\"<file>\"", a document, a web address) and does the desktop's
// equivalent: DescribeShellLaunch says which, the launcher carries it out:
//   ShowItem  - the desktop's file manager shows the item selected
//               (org.freedesktop.FileManager1.ShowItems), else opens its folder;
//   OpenPath  - a folder or document opens with the desktop's default handler;
//   OpenUrl   - a web address opens in the default browser.
// Relative paths are taken from the application folder (the shell's working
// folder). Failures are silent.

#include "platform/message_box.h"
#include "platform/shell.h"

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace kelvra {

struct DesktopLaunch {
    enum class Kind { Nothing, ShowItem, OpenPath, OpenUrl };
    Kind kind = Kind::Nothing;
    std::string target;

    bool operator==(const DesktopLaunch&) const = default;
};

/// What a shell launch of `file` with `parameters` amounts to on the desktop.
/// `appFolder` (with a trailing delimiter) completes relative paths.
DesktopLaunch DescribeShellLaunch(const std::string& file, const std::string& parameters, const std::string& appFolder);

/// The real launcher; `appFolder` as above.
std::unique_ptr<ShellLauncher> CreateDesktopLauncher(const std::string& appFolder);

/// The desktop's folder picker, modal to the window that `owner` returns at
/// the time of each request (may return null).
std::unique_ptr<FolderPicker> CreateDesktopFolderPicker(std::function<QWidget*()> owner);

/// Message boxes of the desktop, modal to the window that `owner` returns
/// (null: no owner, modal to the whole application).
std::unique_ptr<MessageBoxService> CreateDesktopMessageBoxes(std::function<QWidget*()> owner);

} // namespace kelvra
