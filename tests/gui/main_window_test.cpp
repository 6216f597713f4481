// Drives the real main window offscreen, finding its parts by component name.

#include "core/app_folders.h"
#include "gui/quorran_window.h"
#include "settings/cd_settings.h"
#include "settings/option_dialog.h"
#include "tests/gui/recording_message_boxes.h"
#include "tests/gui/store_fixture.h"
#include "tests/support/test_doubles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kelvra {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.WriteString(kAppSettingsKey, "Indir", "/books/in");
        store.WriteString(kAppSettingsKey, "OutDir", "/books/out");
        store.WriteString(kAppSettingsKey, "LogDir", "/books/log");
        store.WriteInteger(kAppSettingsKey, "SubDir", 1);
        settings = std::make_unique<AppSettingsModule>();
        settings->Load();
        services.launcher = &launcher;
        services.folderPicker = &picker;
        services.messageBoxes = &boxes;
        services.trayAvailable = [this] { return trayAvailable; };
        window = std::make_unique<TfrmQuorran>(services);
        window->show();
        QApplication::processEvents();
    }

    template <typename T>
    T* Find(const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QWidget* CurrentPage() { return Find<QTabWidget>("pageConvert")->currentWidget(); }

    void Click(const char* buttonName) { Find<QAbstractButton>(buttonName)->click(); }

    test::StoreFixture store;
    std::unique_ptr<AppSettingsModule> settings;
    test::RecordingShellLauncher launcher;
    test::RecordingFolderPicker picker;
    test::RecordingMessageBoxes boxes;
    bool trayAvailable = true;
    WindowServices services;
    std::unique_ptr<TfrmQuorran> window;
};

TEST_F(MainWindowTest, EveryNamedComponentIsPresent)
{
    // The language files reach the components by these names.
    const char* const widgets[] = {
        "pageConvert", "tsMode", "tsConvert", "tsHotDirectory", "rbtbatch", "rbrdohotdir", "lblcmdlink", "Label13",
        "Label14", "btn1", "btnNext", "btnexit", "btnadd", "btnsbrecentfile", "btnadddir", "btnRemove", "btnClear",
        "lvFiles", "pnlempty", "lblexample", "Label3", "btnHelp", "btnHotdirectory", "btnConvert", "btnStopConvert",
        "btnOpenLog", "pnlLog", "mmolog", "stat1", "pnlhotdir", "imghotdir", "grp1", "imglogo", "lbl2", "edtindir",
        "btnselectindir", "btnopeninputdir", "chksubdir", "lbl4", "edtoutdir", "btnselectoutdir", "btnopenoutputdir",
        "lbl3", "edtlog", "btnselectlogfile", "btnviewlog", "pnl1", "lbl6", "btnsbtrun", "btnsbtend", "btnmin",
        "btnsbtreturn", "pmpoplistfile", "pmFiles", "pmTray"};
    for (const char* name : widgets) {
        SCOPED_TRACE(name);
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr);
    }
    const char* const actions[] = {
        "actNext", "actHotDir", "actReturnBatchMode", "actOption", "actConvert", "actAdd", "actAddFolder",
        "actRemove", "actClear", "actRemveFaile", "actRemoveSuccess", "actOpenFolder", "actImport", "actExport",
        "actSelectIndir", "actSelectOutdir", "actSelectLogpath", "actOpenIndir", "actOpenOutdir", "actOpenLogDir",
        "mniShow", "mniClose", "mniSelectAll"};
    for (const char* name : actions) {
        SCOPED_TRACE(name);
        EXPECT_NE(window->findChild<QAction*>(QString::fromLatin1(name)), nullptr);
    }
    EXPECT_EQ(window->objectName(), "frmQuorran");
}

TEST_F(MainWindowTest, StartsOnTheStartPageWithoutTabs)
{
    EXPECT_EQ(window->Mode(), 0);
    EXPECT_EQ(CurrentPage()->objectName(), "tsMode");
    EXPECT_FALSE(Find<QTabWidget>("pageConvert")->tabBar()->isVisible());
    EXPECT_TRUE(Find<QRadioButton>("rbtbatch")->isChecked());
    EXPECT_EQ(window->windowTitle(), "Kelvra Converter");
    EXPECT_EQ(window->size(), QSize(854, 618));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, NextAndTheModeButtonsWalkThePages)
{
    Click("btnNext");
    EXPECT_EQ(window->Mode(), 1);
    EXPECT_EQ(CurrentPage()->objectName(), "tsConvert");
    EXPECT_FALSE(Find<QTabWidget>("pageConvert")->tabBar()->isVisible());

    Click("btnHotdirectory");
    EXPECT_EQ(window->Mode(), 2);
    EXPECT_EQ(CurrentPage()->objectName(), "tsHotDirectory");

    Click("btnsbtreturn");
    EXPECT_EQ(window->Mode(), 1);
    EXPECT_EQ(CurrentPage()->objectName(), "tsConvert");
}

TEST_F(MainWindowTest, NextWithTheHotFolderChoiceOpensTheHotFolderPage)
{
    Find<QRadioButton>("rbrdohotdir")->setChecked(true);
    Click("btnNext");
    EXPECT_EQ(window->Mode(), 2);
    EXPECT_EQ(CurrentPage()->objectName(), "tsHotDirectory");
}

TEST_F(MainWindowTest, TheHotFolderPageIsFilledFromTheSettings)
{
    EXPECT_EQ(Find<QLineEdit>("edtindir")->text(), "/books/in");
    EXPECT_EQ(Find<QLineEdit>("edtoutdir")->text(), "/books/out");
    EXPECT_EQ(Find<QLineEdit>("edtlog")->text(), "/books/log");
    EXPECT_TRUE(Find<QCheckBox>("chksubdir")->isChecked());
    EXPECT_TRUE(Find<QWidget>("btnsbtrun")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("btnsbtend")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("btnmin")->isEnabled());
}

TEST_F(MainWindowTest, OptionFromTheTrayMenuOpensTheDialogOnTheSettings)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Tfrmoption*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        dialog->seloop->setValue(12);
        dialog->btnokClick();
    });
    Find<QAction>("actOption")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(AppSettings().MLoop(), 12);
    EXPECT_EQ(store.Open(kAppSettingsKey)->ReadInteger("MLoop"), 12);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, StatusBarHasFivePanelsOfTheGivenWidths)
{
    const QList<QLabel*> panels = Find<QStatusBar>("stat1")->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panels.size(), 5);
    const int widths[] = {200, 200, 200, 10, 300};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(panels[i]->width(), widths[i]) << i;
    window->SetStatusPanelText(0, QStringLiteral("Start Conversion..."));
    EXPECT_EQ(window->StatusPanelText(0), "Start Conversion...");
}

TEST_F(MainWindowTest, EmptyListDisablesTheListActionsAndShowsTheEmptyPanel)
{
    Click("btnNext");
    for (const char* name : {"actRemove", "actClear", "actConvert", "actOpenFolder", "actRemoveSuccess",
                             "actRemveFaile", "actExport", "mniSelectAll"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Find<QAction>(name)->isEnabled());
    }
    EXPECT_TRUE(Find<QAction>("actAdd")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("pnlempty")->isVisible());
    EXPECT_FALSE(Find<QWidget>("pnlLog")->isVisible());
    EXPECT_FALSE(Find<QWidget>("btnStopConvert")->isVisible());
    EXPECT_FALSE(Find<QWidget>("btnConvert")->isEnabled());
}

TEST_F(MainWindowTest, LinksHandTheirFilesToTheShell)
{
    const std::string help = AppFolderFile(kHelpPageFile);
    struct Case {
        const char* name;
        std::string file;
        std::string parameters;
    } const cases[] = {
        {"lblcmdlink", "notepad.exe", "\"" + AppFolderFile("Command line.txt") + "\""},
        {"btn1", help, ""},
        {"Label13", help, ""},
        {"Label14", help, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        launcher.launches.clear();
        QWidget* widget = Find<QWidget>(c.name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_EQ(launcher.launches[0].first, c.file);
        EXPECT_EQ(launcher.launches[0].second, c.parameters);
    }
    Click("btnNext");
    launcher.launches.clear();
    Click("btnHelp");
    QWidget* label3 = Find<QWidget>("Label3");
    QTest::mouseClick(label3, Qt::LeftButton, {}, label3->rect().center());
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_EQ(launcher.launches[0].first, help);
    EXPECT_EQ(launcher.launches[1].first, help);
}

TEST_F(MainWindowTest, MinimiseHidesInTheTrayAndALeftClickBringsTheSamePageBack)
{
    Find<QRadioButton>("rbrdohotdir")->setChecked(true);
    Click("btnNext");
    QToolButton* btnmin = Find<QToolButton>("btnmin");
    btnmin->setEnabled(true); // enabled while watching
    btnmin->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->TrayIcon().isVisible());
    EXPECT_EQ(window->TrayIcon().toolTip(), "QUORRAN");

    window->OnTrayIconMessage(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TrayIcon().isVisible());
    EXPECT_EQ(CurrentPage()->objectName(), "tsHotDirectory");

    // Minimising again adds the icon anew; the title bar's command does the same.
    window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!window->isVisible());
    EXPECT_TRUE(window->TrayIcon().isVisible());
    window->OnTrayIconMessage(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimiseKeepsTheWindowReachable)
{
    trayAvailable = false;
    window->btnminClick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->TrayIcon().isVisible());
}

TEST_F(MainWindowTest, TrayMenuHoldsShowOptionAndClose)
{
    const QList<QAction*> entries = window->TrayMenu().actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0]->objectName(), "mniShow");
    EXPECT_EQ(entries[0]->text(), "Show");
    EXPECT_EQ(entries[1]->objectName(), "actOption");
    EXPECT_EQ(entries[1]->text(), "Option");
    EXPECT_TRUE(entries[2]->isSeparator());
    EXPECT_EQ(entries[3]->objectName(), "mniClose");
    EXPECT_EQ(entries[3]->text(), "&Close");

    window->btnminClick();
    window->OnTrayIconMessage(QSystemTrayIcon::Context);
    EXPECT_TRUE(window->TrayMenu().isVisible());
    window->TrayMenu().hide();

    entries[0]->trigger(); // Show
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TrayIcon().isVisible());
}

TEST_F(MainWindowTest, CloseFromTheTrayEndsTheProgramWithoutAnIcon)
{
    QSignalSpy closed(window.get(), &TfrmQuorran::Closed);
    window->btnminClick();
    ASSERT_TRUE(window->TrayIcon().isVisible());
    window->findChild<QAction*>(QStringLiteral("mniClose"))->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window->TrayIcon().isVisible());
}

TEST_F(MainWindowTest, ExitEndsTheProgram)
{
    QSignalSpy closed(window.get(), &TfrmQuorran::Closed);
    Click("btnexit");
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace kelvra
