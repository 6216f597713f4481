#pragma once

// The batch page "tsConvert": the tool bar, the file list with its empty-list
// panel, the log pane and the bottom bar with Help, Hot Directories Mode,
// Convert / Stop Convert and Show log. This class lays the page out and names
// every part; the file list's behaviour and the run are connected by the main
// window. Owned by the page control; main thread only.

#include <QWidget>

class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace kelvra {

class ActionList;
class FileListView;
class LinkLabel;

class BatchPage : public QWidget {
    Q_OBJECT
public:
    BatchPage(const ActionList& actions, QWidget* parent);

    // Tool bar.
    QToolButton* btnadd;
    QToolButton* btnsbrecentfile;
    QToolButton* btnadddir;
    QToolButton* btnRemove;
    QToolButton* btnClear;
    QMenu* pmpoplistfile;

    // The list, its popup menu and the panel shown while it is empty.
    FileListView* lvFiles;
    QMenu* pmFiles;
    QAction* mniSelectAll;
    QFrame* pnlempty;
    LinkLabel* lblexample;
    LinkLabel* Label3;

    // Log pane, hidden at start.
    QFrame* pnlLog;
    QPlainTextEdit* mmolog;

    // Bottom bar.
    QPushButton* btnHelp;
    QPushButton* btnHotdirectory;
    QPushButton* btnConvert;
    QPushButton* btnStopConvert;
    QPushButton* btnOpenLog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceEmptyPanel();
};

/// Column widths of the file list, in column order: Name, Information, Size,
/// Full file name, Out file name.
inline constexpr int kFileListColumnWidths[] = {140, 150, 70, 230, 230};

} // namespace kelvra
