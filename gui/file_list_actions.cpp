#include "gui/file_list_actions.h"

#include "core/app_folders.h"
#include "core/file_info.h"
#include "core/paths.h"
#include "core/shell.h"
#include "gui/action_list.h"
#include "gui/batch_page.h"
#include "gui/conversion_list_model.h"
#include "gui/file_dialogs.h"
#include "gui/file_drop_filter.h"
#include "gui/file_list_rules.h"
#include "gui/file_list_view.h"
#include "gui/link_label.h"
#include "gui/quorran_window.h"
#include "gui/wait_cursor.h"
#include "i18n/language.h"
#include "platform/message_box.h"

#include <QCursor>
#include <QHeaderView>
#include <QMenu>
#include <QSaveFile>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvra {
namespace {

// Language string of the Add Folder picker's title.
constexpr int kAddFolderTitleString = 11;

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + path + "\". " + std::strerror(errno));
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw std::runtime_error("Cannot read file \"" + path + "\".");
    return content.str();
}

// Written to a temporary file beside the target and renamed over it, so a
// failed write never leaves a half-written list or destroys the old one.
void WriteWholeFile(const std::string& path, const std::string& content)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("Cannot create file \"" + path + "\". " + file.errorString().toStdString());
    if (file.write(content.data(), static_cast<qint64>(content.size())) != static_cast<qint64>(content.size())
        || !file.commit())
        throw std::runtime_error("Cannot write file \"" + path + "\". " + file.errorString().toStdString());
}

} // namespace

FileListActions::FileListActions(TfrmQuorran& window)
    : QObject(&window)
    , m_window(window)
    , m_page(window.PageConvert())
    , m_items(new ConversionListModel(this))
{
    setObjectName(QStringLiteral("fileListActions"));
    m_page.lvFiles->SetItemModel(m_items);
    ConnectHandlers();
    new FileDropFilter(&window, [this](const std::vector<std::string>& paths) { OnFilesDropped(paths); });
}

void FileListActions::ConnectHandlers()
{
    const ActionList& a = m_window.Actions();
    connect(a.actAdd, &QAction::triggered, this, &FileListActions::actAddExecute);
    connect(a.actAddFolder, &QAction::triggered, this, &FileListActions::actAddFolderExecute);
    connect(a.actImport, &QAction::triggered, this, &FileListActions::actImportExecute);
    connect(a.actExport, &QAction::triggered, this, &FileListActions::actExportExecute);
    connect(a.actRemove, &QAction::triggered, this, &FileListActions::actRemoveExecute);
    connect(a.actClear, &QAction::triggered, this, &FileListActions::actClearExecute);
    connect(a.actRemveFaile, &QAction::triggered, this, &FileListActions::actRemveFaileExecute);
    connect(a.actRemoveSuccess, &QAction::triggered, this, &FileListActions::actRemoveSuccessExecute);
    connect(a.actOpenFolder, &QAction::triggered, this, &FileListActions::actOpenFolderExecute);
    connect(m_page.mniSelectAll, &QAction::triggered, this, &FileListActions::mniSelectAllClick);
    connect(m_page.lblexample, &LinkLabel::clicked, this, &FileListActions::lblexampleClick);
    connect(m_page.btnsbrecentfile, &QToolButton::clicked, this, &FileListActions::btnsbrecentfileClick);
    connect(m_page.lvFiles->header(), &QHeaderView::sectionClicked, this, &FileListActions::lvFilesColumnClick);
    connect(m_page.lvFiles, &QAbstractItemView::clicked, this, &FileListActions::lvFilesClick);
}

void FileListActions::AddListFile(const std::string& path)
{
    m_items->AddListFile(path);
}

void FileListActions::AddListFiles(const std::vector<std::string>& paths)
{
    const WaitCursor hourglass;
    m_page.lvFiles->setUpdatesEnabled(false);
    try {
        m_items->AddListFiles(paths);
    } catch (...) {
        m_page.lvFiles->setUpdatesEnabled(true);
        throw;
    }
    m_page.lvFiles->setUpdatesEnabled(true);
}

void FileListActions::RemoveDuplicateNames()
{
    m_items->RemoveDuplicateNames();
}

void FileListActions::actAddExecute()
{
    m_page.pnlempty->hide();
    std::vector<std::string> chosen;
    if (FileDialogs* dialogs = m_window.Services().fileDialogs) {
        FileDialogRequest request;
        request.filter = kAddFilesFilter;
        request.filterIndex = 1;
        request.allowMultiSelect = true;
        chosen = dialogs->GetOpenFileNames(request);
    }
    if (chosen.empty()) {
        if (m_items->Count() == 0)
            m_page.pnlempty->show();
        return;
    }
    std::vector<std::string> supported;
    std::copy_if(chosen.begin(), chosen.end(), std::back_inserter(supported),
                 [](const std::string& path) { return IsSupportedBookFile(path); });
    AddListFiles(supported);
    // One duplicate removal after all files leaves the same items as one
    // after each file: an appended item goes exactly when an earlier item
    // already has its name.
    RemoveDuplicateNames();
    m_window.UpdateListActions();
}

void FileListActions::actAddFolderExecute()
{
    m_page.pnlempty->hide();
    std::string folder;
    FolderPicker* picker = m_window.Services().folderPicker;
    if (picker != nullptr
        && BrowseForFolder(*picker, LanguageStrings[kAddFolderTitleString].toStdString(), folder)) {
        const WaitCursor hourglass;
        m_items->Clear();
        std::vector<std::string> scanned;
        ScanFolder(folder, scanned, "*.*", false);
        std::erase_if(scanned, [](const std::string& path) { return !IsSupportedBookFile(path); });
        AddListFiles(scanned);
    }
    RemoveDuplicateNames();
    m_window.UpdateListActions();
}

void FileListActions::actImportExecute()
{
    FileDialogs* dialogs = m_window.Services().fileDialogs;
    if (dialogs == nullptr)
        return;
    FileDialogRequest request;
    request.filter = kListFileFilter;
    request.defaultExtension = kListFileExtension;
    const std::vector<std::string> chosen = dialogs->GetOpenFileNames(request);
    if (chosen.empty())
        return;
    std::string readError;
    {
        // From the choice to the end of the import; over the dialog or the
        // error box it would only mislead.
        const WaitCursor hourglass;
        std::vector<std::string> lines;
        try {
            lines = SplitListFileLines(ReadWholeFile(chosen.front()));
        } catch (const std::exception& error) {
            readError = error.what();
        }
        if (readError.empty()) {
            m_items->Clear();
            // Each line as read, untrimmed; the same path twice gives two items.
            std::erase_if(lines,
                          [](const std::string& line) { return !FileExists(line) || !IsSupportedBookFile(line); });
            AddListFiles(lines);
            m_window.UpdateListActions();
        }
    }
    // The list stays as it was.
    if (!readError.empty())
        ShowError(readError);
}

void FileListActions::actExportExecute()
{
    if (m_items->Count() == 0)
        return;
    std::vector<std::string> paths;
    paths.reserve(static_cast<std::size_t>(m_items->Count()));
    for (int row = 0; row < m_items->Count(); ++row)
        paths.push_back(m_items->Item(row).fullFileName);
    FileDialogs* dialogs = m_window.Services().fileDialogs;
    if (dialogs == nullptr)
        return;
    FileDialogRequest request;
    request.filter = kListFileFilter;
    request.defaultExtension = kListFileExtension;
    request.overwritePrompt = true;
    const std::optional<std::string> target = dialogs->GetSaveFileName(request);
    if (!target)
        return;
    try {
        WriteWholeFile(*target, JoinListFileLines(paths));
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void FileListActions::lblexampleClick()
{
    // Added without any check: a missing sample stops the next run at its
    // missing-file check.
    AddListFile(AppFolderFile(kDemoBookFile));
    RemoveDuplicateNames();
    m_window.UpdateListActions();
}

void FileListActions::actRemoveExecute()
{
    const QModelIndexList selected = m_page.lvFiles->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    std::vector<char> remove(static_cast<std::size_t>(m_items->Count()), 0);
    for (const QModelIndex& index : selected) {
        if (index.row() >= 0 && index.row() < m_items->Count())
            remove[static_cast<std::size_t>(index.row())] = 1;
    }
    m_items->RemoveItemsWhere(
        [&remove](int row, const ConversionListItem&) { return remove[static_cast<std::size_t>(row)] != 0; });
    if (m_items->Count() == 0)
        m_window.SetStatusPanelText(0, QString());
    m_window.UpdateListActions();
}

void FileListActions::actClearExecute()
{
    if (m_items->Count() == 0)
        return;
    for (int column = 0; column < kFileListColumnCount; ++column)
        m_items->SetHeaderImageIndex(column, kNoImage);
    m_items->Clear();
    m_window.SetStatusPanelText(0, QString());
    m_window.UpdateListActions();
}

void FileListActions::RemoveItemsInState(int imageIndex)
{
    m_items->RemoveItemsWhere(
        [imageIndex](int, const ConversionListItem& item) { return item.imageIndex == imageIndex; });
    m_window.UpdateListActions();
}

void FileListActions::actRemveFaileExecute()
{
    RemoveItemsInState(kItemFailed);
}

void FileListActions::actRemoveSuccessExecute()
{
    RemoveItemsInState(kItemSucceeded);
}

void FileListActions::mniSelectAllClick()
{
    m_page.lvFiles->selectAll();
}

void FileListActions::actOpenFolderExecute()
{
    const QModelIndexList selected = m_page.lvFiles->selectionModel()->selectedRows();
    if (selected.isEmpty() || m_window.Services().launcher == nullptr)
        return;
    // The first selected item in list order.
    int first = m_items->Count();
    for (const QModelIndex& index : selected)
        first = std::min(first, index.row());
    if (first >= m_items->Count())
        return;
    m_window.Services().launcher->LaunchProgram("explorer.exe",
                                                " /n,/select, \"" + m_items->Item(first).fullFileName + "\"");
}

void FileListActions::btnsbrecentfileClick()
{
    m_page.pmpoplistfile->popup(QCursor::pos());
}

void FileListActions::lvFilesColumnClick(int column)
{
    if (column < 0 || column >= kFileListColumnCount)
        return;
    for (int header = 0; header < kFileListColumnCount; ++header)
        m_items->SetHeaderImageIndex(header, kNoImage);
    // One direction flag for the whole list: every click flips it, whichever
    // column is clicked.
    m_items->SetHeaderImageIndex(column, m_window.SortAscending ? kHeaderSortedDescending : kHeaderSortedAscending);
    m_window.SortColumn = column;
    m_window.SortAscending = !m_window.SortAscending;
    const WaitCursor hourglass;
    m_items->Sort(m_window.SortColumn, m_window.SortAscending);
}

void FileListActions::lvFilesClick()
{
    m_window.UpdateListActions();
}

void FileListActions::OnFilesDropped(const std::vector<std::string>& paths)
{
    std::vector<std::string> accepted;
    for (const std::string& path : paths) {
        // Folders and names that do not exist are skipped, as are types the
        // list does not take.
        if (FileExists(path) && IsSupportedBookFile(path))
            accepted.push_back(path);
    }
    AddListFiles(accepted);
    RemoveDuplicateNames();
    m_window.UpdateListActions();
}

void FileListActions::ShowError(const std::string& message) const
{
    if (MessageBoxService* boxes = m_window.Services().messageBoxes)
        boxes->ShowMessageBox(message, kApplicationTitle, kMbOk | kMbIconError);
}

} // namespace kelvra
