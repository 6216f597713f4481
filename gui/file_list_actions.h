#pragma once

// The behaviour of the batch page's file list ("lvFiles"): every way files
// come in (Add, Add Folder, Import List, the Example link, drops from the
// desktop) and go out (Remove, Clear, Remove Failed, Remove Succeeded, the
// next Import or Add Folder), Export List, Select All, Open Folder, duplicate
// removal and sorting by a header click with its sort marks.
//
// Created by the main window, which owns it (as its child) and through it the
// item model; it reads and writes the window's SortColumn and SortAscending
// and calls the window's UpdateListActions after every change. Main thread
// only.

#include <QObject>

#include <string>
#include <vector>

namespace kelvra {

class BatchPage;
class ConversionListModel;
class TfrmQuorran;

/// The filter list of the Add dialog, in this order; no entry for all types.
inline constexpr char kAddFilesFilter[] = "PDF File(*.pdf)|*.pdf|AZW File(*.azw3)|*.azw3|LIT File(*.lit)|*.lit|"
                                          "RTF File(*.rtf)|*.rtf|Mobi File(*.mobi)|*.mobi|Text File(*.txt)|*.txt|"
                                          "FB File(*.fb2)|*.fb2";
/// The filter of the Import and Export dialogs.
inline constexpr char kListFileFilter[] = "TEXT FILE|*.txt";
inline constexpr char kListFileExtension[] = ".txt";
/// The sample book beside the program that the Example link adds.
inline constexpr char kDemoBookFile[] = "demo.azw3";

class FileListActions : public QObject {
    Q_OBJECT
public:
    explicit FileListActions(TfrmQuorran& window);

    ConversionListModel& Items() { return *m_items; }

    void AddListFile(const std::string& path);
    /// AddListFile for each path in order, under the hourglass cursor.
    void AddListFiles(const std::vector<std::string>& paths);
    void RemoveDuplicateNames();

    // Handlers.
    void actAddExecute();
    void actAddFolderExecute();
    void actImportExecute();
    void actExportExecute();
    void lblexampleClick();
    void actRemoveExecute();
    void actClearExecute();
    void actRemveFaileExecute();
    void actRemoveSuccessExecute();
    void mniSelectAllClick();
    void actOpenFolderExecute();
    void btnsbrecentfileClick();
    void lvFilesColumnClick(int column);
    void lvFilesClick();
    /// Files dropped from the desktop: existing files with a supported
    /// extension are added; folders and other names are skipped.
    void OnFilesDropped(const std::vector<std::string>& paths);

private:
    void ConnectHandlers();
    /// Deletes the items in `imageIndex`'s state, then UpdateListActions.
    void RemoveItemsInState(int imageIndex);
    /// The standard error box of the window for a handler's error.
    void ShowError(const std::string& message) const;

    TfrmQuorran& m_window;
    BatchPage& m_page;
    ConversionListModel* m_items;
};

} // namespace kelvra
