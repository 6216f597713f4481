#include "gui/kelvra_application.h"

#include "core/app_folders.h"
#include "core/paths.h"
#include "gui/file_dialogs.h"
#include "gui/quorran_window.h"
#include "i18n/language.h"
#include "platform/app_paths.h"
#include "platform/desktop_services.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "settings/cd_settings.h"

#include <QSystemTrayIcon>

#include <exception>
#include <iostream>
#include <memory>
#include <optional>

namespace kelvra {
namespace {

// The name of the single-instance lock.
constexpr char kInstanceLockName[] = "Kelvra Converter";
constexpr char kLanguageRegistryPath[] = "Software\\Tarnwick\\Brennic\\Language";
constexpr unsigned kStartErrorFlags = kMbTopMost | kMbIconError | kMbOk;

} // namespace

KelvraApplication::KelvraApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool KelvraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (m_messageBoxes != nullptr)
            m_messageBoxes->ShowMessageBox(error.what(), kApplicationTitle, kMbOk | kMbIconError);
        else
            std::cerr << error.what() << '\n';
    }
    return false;
}

int RunKelvra(int argc, char** argv)
{
    // 1. The settings exist and are loaded before anything else. They are
    //    saved when the module ends, after everything below, in every run that
    //    got this far: also after a failed load (which replaces the unreadable
    //    value) and in a second instance that ends at once.
    AppSettingsModule settingsModule;
    std::optional<std::string> loadError;
    try {
        settingsModule.Load();
    } catch (const std::exception& error) {
        loadError = error.what();
    }

    KelvraApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QWidget* mainWindow = nullptr;
    const auto owner = [&mainWindow] { return mainWindow; };
    auto messageBoxes = CreateDesktopMessageBoxes(owner);
    const auto noOwnerBoxes = CreateDesktopMessageBoxes(nullptr);
    if (loadError) {
        noOwnerBoxes->ShowMessageBox("The settings could not be read: " + *loadError, kApplicationTitle,
                                     kStartErrorFlags);
        return 1;
    }

    // 2. The language, fixed for the whole run.
    LanguageFile = ChooseLanguageFile(kLanguageRegistryPath, AddTrailingBackslash(ExtractFilePath(ApplicationFileName())));
    LoadLanguageStrings(LanguageStrings, LanguageStringCount - 1, LanguageFile, "Strings");

    try {
        // 3. One instance: a second start ends silently.
        const std::unique_ptr<InstanceLock> instance = CreateInstanceLock(kInstanceLockName);
        if (instance->AlreadyRunning())
            return 0;

        // 4. The window and the message loop.
        auto launcher = CreateDesktopLauncher(AppFolderFile(""));
        auto folderPicker = CreateDesktopFolderPicker(owner);
        auto fileDialogs = CreateDesktopFileDialogs(owner);
        WindowServices services;
        services.launcher = launcher.get();
        services.folderPicker = folderPicker.get();
        services.fileDialogs = fileDialogs.get();
        services.messageBoxes = messageBoxes.get();
        services.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
        app.SetErrorReport(messageBoxes.get());
        TfrmQuorran window(services);
        mainWindow = &window;
        QObject::connect(&window, &TfrmQuorran::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
        window.show();
        const int exitCode = app.exec();
        app.SetErrorReport(nullptr);
        mainWindow = nullptr;
        return exitCode;
    } catch (const std::exception& error) {
        // 5. An error that escapes start-up: the top-most error box.
        mainWindow = nullptr;
        noOwnerBoxes->ShowMessageBox(error.what(), kApplicationTitle, kStartErrorFlags);
        return 1;
    }
}

} // namespace kelvra
