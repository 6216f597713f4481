// Saves pictures of the main window's pages and of the Option dialog as PNG
// files, for looking at the layout without a display:
//   QT_QPA_PLATFORM=offscreen window_screenshots <folder> [<language file>]
// The windows are translated with the language file when one is given. The
// settings come from (and are saved to) the store of XDG_CONFIG_HOME: point it
// at a scratch folder.

#include "gui/batch_page.h"
#include "gui/hotdir_page.h"
#include "gui/mode_page.h"
#include "gui/quorran_window.h"
#include "i18n/language.h"
#include "settings/cd_settings.h"
#include "settings/option_dialog.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshots <folder> [<language file>]\n");
        return 2;
    }
    kelvra::AppSettingsModule settings;
    settings.Load();
    if (argc > 2) {
        kelvra::LanguageFile = argv[2];
        kelvra::LoadLanguageStrings(kelvra::LanguageStrings, kelvra::LanguageStringCount - 1, kelvra::LanguageFile,
                                    "Strings");
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
    kelvra::AppSettings().SetMUseOption(true);
    kelvra::Tfrmoption dialog(kelvra::AppSettings(), nullptr, kelvra::LanguageFile, &window);
    dialog.show();
    app.processEvents();
    dialog.grab().save(folder.filePath(QStringLiteral("option_dialog.png")));
    return 0;
}
