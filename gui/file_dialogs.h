#pragma once

// The open and save dialogs of the batch page, stated the way the system's
// file dialogs are told: a filter list in the form
// "Description|pattern|Description|pattern", the active filter, the default
// extension and the options. The program hands the desktop's dialogs
// (CreateDesktopFileDialogs); tests hand a double that answers from a script
// and records what was asked. Main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kelvra {

struct FileDialogRequest {
    /// "PDF File(*.pdf)|*.pdf|AZW File(*.azw3)|*.azw3", pairs of description
    /// and pattern separated by "|".
    std::string filter;
    /// The active filter, counted from 1.
    int filterIndex = 1;
    /// Appended (with its dot) to a typed name that has no extension; empty:
    /// nothing is appended.
    std::string defaultExtension;
    bool allowMultiSelect = false;
    /// Save dialogs: ask before replacing an existing file.
    bool overwritePrompt = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    /// The files the user chose, in the dialog's order; empty on cancel.
    /// The names need not exist (a typed-in name is returned as typed).
    virtual std::vector<std::string> GetOpenFileNames(const FileDialogRequest& request) = 0;

    /// The file to write; nothing on cancel.
    virtual std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) = 0;
};

/// The desktop's file dialogs (Qt's), modal to the window `owner` returns.
std::unique_ptr<FileDialogs> CreateDesktopFileDialogs(std::function<QWidget*()> owner);

} // namespace kelvra
