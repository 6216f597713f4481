#pragma once

// The pictures of the main window, drawn in code so that they scale cleanly
// and need no image plug-in: the banner, the mode icons, the large buttons of
// the hot-folder page, the tool-bar icons, and the item image list of the file
// list (document, failed, succeeded, sort triangles). Every function returns
// a fresh value; nothing is cached. Main thread only (QPixmap).

#include <QIcon>
#include <QPixmap>

namespace kelvra {

/// The program's own icon: a book with an arrow (window, tray).
QIcon AppIcon();

/// The banner across the top of the main window, at the given size.
QPixmap BannerPicture(int width, int height);

/// Pictures of the start page: the batch mode, the hot-folder mode, the
/// command-line mode.
QPixmap BatchModePicture(int size);
QPixmap HotDirModePicture(int size);
QPixmap CommandLinePicture(int size);

/// The large buttons of the hot-folder page.
QIcon StartWatchIcon();
QIcon StopWatchIcon();
QIcon MinimizeToTrayIcon();

/// The background of the hot-folder page, at the given size.
QPixmap HotDirBackgroundPicture(int width, int height);

/// The logo at the left of the hot-folder settings group.
QPixmap HotDirLogoPicture(int size);

/// Tool-bar icons of the batch page.
QIcon AddFilesIcon();
QIcon AddFolderIcon();
QIcon RemoveIcon();
QIcon ClearIcon();
QIcon DropDownArrowIcon();
QIcon BrowseIcon();
QIcon OpenFolderIcon();
QIcon ConvertIcon();
QIcon HelpIcon();

/// Item image list of the file list, 16 by 16: 0 pending (document), 1 failed
/// (red cross), 2 succeeded (green tick), 3 sorted descending (upward
/// triangle), 4 sorted ascending (downward triangle). Another index gives a
/// null icon.
inline constexpr int kItemImageCount = 5;
QIcon ItemImage(int index);

} // namespace kelvra
