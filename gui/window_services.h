#pragma once

// The outside world as the main window sees it: shell launches, the folder
// picker and message boxes, plus whether the desktop offers a notification
// area. The program hands the real desktop services; tests hand recording
// doubles. The window does not own them; they must outlive it.

#include <functional>

namespace kelvra {

class FileDialogs;
class FolderPicker;
class MessageBoxService;
class ShellLauncher;

struct WindowServices {
    ShellLauncher* launcher = nullptr;
    FolderPicker* folderPicker = nullptr;
    MessageBoxService* messageBoxes = nullptr;
    /// The open and save dialogs of the batch page's file list.
    FileDialogs* fileDialogs = nullptr;
    /// Asked each time the window would hide itself in the notification
    /// area; where there is none, the window minimises normally instead, so
    /// that it can always be brought back.
    std::function<bool()> trayAvailable;
};

} // namespace kelvra
