#include "gui/kelvra_application.h"

#include "core/app_folders.h"
#include "gui/file_dialogs.h"
#include "gui/quorran_window.h"
#include "i18n/language.h"
#include "platform/registry_store.h"
#include "platform/desktop_services.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/termination_request.h"
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

    QWidget* mainWindow = nullptr; // outlives the application and its handlers
    KelvraApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const auto owner = [&mainWindow] { return mainWindow; };
    // Asked to end by the system (logout, kill, Ctrl+C): close the window as
    // the user would, so that everything is saved on the way out. Installed
    // first, so that a request during start-up is honoured once the loop runs.
    OnTerminationRequest(&app, [&mainWindow] {
        // A dialog or message box open at that moment runs a loop of its own.
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        if (mainWindow != nullptr)
            mainWindow->close();
        else
            QApplication::quit();
    });
    auto messageBoxes = CreateDesktopMessageBoxes(owner);
    const auto noOwnerBoxes = CreateDesktopMessageBoxes(nullptr);
    if (loadError) {
        // The settings module's save at the end replaces the unreadable value,
        // so the next start succeeds.
        const std::string file = UserRegistryFilePath();
        const std::string where = loadError->find(file) == std::string::npos ? "\n" + file : std::string();
        noOwnerBoxes->ShowMessageBox("The settings could not be read: " + *loadError + where
                                         + "\n\nKelvra Converter ends now; the settings are written anew.",
                                     kApplicationTitle, kStartErrorFlags);
        return 1;
    }

    try {
        // 2. The language, fixed for the whole run.
        LanguageFile = ChooseLanguageFile(kLanguageRegistryPath, AppFolderFile(""));
        LoadLanguageStrings(LanguageStrings, LanguageStringCount - 1, LanguageFile, "Strings");

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
