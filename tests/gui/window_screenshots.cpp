// Saves pictures of the main window's pages (and the Option dialog) as PNG
// files, for looking at the layout without a display:
//   QT_QPA_PLATFORM=offscreen window_screenshots <folder>
// The window is built with the language chosen at start-up, as in kelvra.

#include "gui/batch_page.h"
#include "gui/hotdir_page.h"
#include "gui/mode_page.h"
#include "gui/quorran_window.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshots <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    kelvra::WindowServices services;
    services.trayAvailable = [] { return false; };
    kelvra::TfrmQuorran window(services);
    window.show();
    const auto save = [&](QWidget* page, const char* name) {
        window.ShowPage(page);
        app.processEvents();
        window.grab().save(folder.filePath(QString::fromLatin1(name)));
    };
    save(&window.PageMode(), "start_page.png");
    save(&window.PageConvert(), "batch_page.png");
    save(&window.PageHotDir(), "hotdir_page.png");
    return 0;
}
