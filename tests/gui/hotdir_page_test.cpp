// The hot-folder page through the real window offscreen: its buttons, check
// box and actions reach the page's logic, the folders come from scripted
// folder-picker answers, the messages go to the recording message boxes, the
// settings to a real store, and files copied into a real watched folder are
// converted by the tests' fake converter beside this program as "ebook.exe"
// into a real daily log.

#include "core/app_folders.h"
#include "gui/action_list.h"
#include "gui/hotdir_page.h"
#include "gui/hotdir_page_binding.h"
#include "hotdir/directory_monitor.h"
#include "platform/file_system.h"
#include "tests/gui/batch_window_fixture.h"
#include "tests/hotdir/hotdir_test_support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>

namespace kelvra {
namespace {

using test::RunEventsFor;
using test::WaitUntil;
using test::WriteFile;

constexpr char kCrLf[] = "\r\n";

class HotDirPageTest : public test::BatchWindowFixture {
protected:
    void SetUp() override
    {
        BatchWindowFixture::SetUp();
        ASSERT_TRUE(FileExists(AppFolderFile("ebook.exe"))) << "the fake converter beside the test program";
        window->actHotDirExecute();
        ASSERT_EQ(window->Mode(), 2);
        ASSERT_NE(window->HotDir(), nullptr);
        window->HotDir()->SetLogClock(&clock);
        in = dir.File("in");
        out = dir.File("out");
        logs = dir.File("logs");
        for (const std::string& folder : {in, out, logs})
            std::filesystem::create_directories(folder);
    }

    HotDirPage& Hot() { return window->PageHotDir(); }

    /// Fills a folder field the way the user does: its Browse button and a
    /// folder picked in the picker.
    void Choose(QPushButton* browse, const std::string& folder)
    {
        picker.answer = folder;
        browse->click();
        picker.answer.reset();
    }

    void ChooseAll()
    {
        Choose(Hot().btnselectindir, in);
        Choose(Hot().btnselectoutdir, out);
        Choose(Hot().btnselectlogfile, logs);
    }

    void Start() { Hot().btnsbtrun->click(); }

    std::string TodayLog() const { return logs + "/26-12-11.log"; }
    std::string LogText() const { return test::ReadText(TodayLog()); }

    /// The four lines a converted file leaves in the daily log.
    std::string Entries(const std::string& input, const std::string& base, bool success) const
    {
        return std::string("Start: [14:05:09]") + kCrLf + "Excute File: " + input + kCrLf + "Save to: " + out + "/"
               + base + ".epub" + (success ? " [Success]" : " [Failed]") + kCrLf + "Finish: [14:05:09]" + kCrLf;
    }

    /// A value of the settings as the store holds it; "" when missing.
    std::string StoredString(const std::string& name) const
    {
        auto key = store.Open(kAppSettingsKey);
        return key && key->ValueExists(name) ? key->ReadString(name) : std::string();
    }
    std::optional<int> StoredInteger(const std::string& name) const
    {
        auto key = store.Open(kAppSettingsKey);
        if (!key || !key->ValueExists(name))
            return std::nullopt;
        return key->ReadInteger(name);
    }

    /// The enabled state of every control of the running/stopped table, and
    /// of the open buttons, which stay enabled.
    struct ControlState {
        const char* name;
        bool whileRunning;
        bool whileStopped;
    };
    void ExpectRunning(bool running)
    {
        const ControlState table[] = {
            {"btnsbtrun", false, true},        {"btnsbtend", true, false},        {"btnmin", true, false},
            {"edtindir", false, true},         {"edtoutdir", false, true},        {"edtlog", false, true},
            {"chksubdir", false, true},        {"btnselectindir", false, true},   {"btnselectoutdir", false, true},
            {"btnselectlogfile", false, true}, {"btnsbtreturn", false, true},     {"btnopeninputdir", true, true},
            {"btnopenoutputdir", true, true},  {"btnviewlog", true, true},
        };
        for (const ControlState& control : table) {
            SCOPED_TRACE(control.name);
            auto* widget = Hot().findChild<QWidget*>(QString::fromLatin1(control.name));
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->isEnabled(), running ? control.whileRunning : control.whileStopped);
        }
        EXPECT_EQ(window->Actions().actSelectIndir->isEnabled(), !running);
        EXPECT_EQ(window->Actions().actSelectOutdir->isEnabled(), !running);
        EXPECT_EQ(window->Monitor()->IsRunning(), running);
    }

    std::string in;
    std::string out;
    std::string logs;
};

TEST_F(HotDirPageTest, StartRefusesMissingOrNestedFoldersWithItsMessageAndFocus)
{
    struct Case {
        const char* name;
        std::string input, output, log;
        const char* message;
        QLineEdit* HotDirPage::*focus;
    };
    const std::string missing = dir.File("missing");
    std::filesystem::create_directories(in + "/Sub");
    const Case cases[] = {
        {"all empty (first run)", "", "", "", "Language string 15", &HotDirPage::edtindir},
        {"input missing", missing, out, logs, "Language string 15", &HotDirPage::edtindir},
        {"output missing", in, missing, logs, "Language string 17", &HotDirPage::edtoutdir},
        {"log folder missing", in, out, missing, "Language string 19", &HotDirPage::edtlog},
        {"output is the input", in, in, logs, "Language string 20", &HotDirPage::edtindir},
        {"output inside the input", in, in + "/Sub", logs, "Language string 20", &HotDirPage::edtindir},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        Hot().edtindir->setText(QString::fromStdString(c.input));
        Hot().edtoutdir->setText(QString::fromStdString(c.output));
        Hot().edtlog->setText(QString::fromStdString(c.log));
        Hot().btnselectindir->setFocus();

        Start();

        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, c.message);
        EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
        EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconInformation);
        EXPECT_EQ(window->focusWidget(), Hot().*c.focus);
        ExpectRunning(false);
        EXPECT_EQ(StoredString("Indir"), "") << "nothing saved";
    }
}

TEST_F(HotDirPageTest, StartShowsTheRunningPageAndSavesTheSettingsStopUndoesIt)
{
    ChooseAll();
    ASSERT_EQ(picker.requests.size(), 3u);
    EXPECT_EQ(picker.requests[0].title, "Language string 15");
    EXPECT_EQ(picker.requests[1].title, "Language string 17");
    EXPECT_EQ(picker.requests[2].title, "log path");
    EXPECT_EQ(Hot().edtindir->text().toStdString(), in);
    EXPECT_EQ(Hot().edtoutdir->text().toStdString(), out);
    EXPECT_EQ(Hot().edtlog->text().toStdString(), logs);
    Hot().chksubdir->setChecked(true); // not a click: nothing saved yet
    EXPECT_EQ(StoredString("Indir"), "");

    Start();

    EXPECT_TRUE(boxes.boxes.empty());
    ExpectRunning(true);
    EXPECT_EQ(window->Monitor()->Directory(), in);
    EXPECT_TRUE(window->Monitor()->WatchSubtree());
    EXPECT_EQ(StoredString("Indir"), in);
    EXPECT_EQ(StoredString("OutDir"), out);
    EXPECT_EQ(StoredString("LogDir"), logs);
    EXPECT_EQ(StoredInteger("SubDir"), 1);

    Hot().btnsbtend->click();

    ExpectRunning(false);
}

TEST_F(HotDirPageTest, TheCheckBoxSavesTheSettingsWhenClicked)
{
    Choose(Hot().btnselectindir, in);
    Hot().edtlog->setText(QString::fromStdString(logs));

    Hot().chksubdir->click();

    EXPECT_EQ(StoredString("Indir"), in);
    EXPECT_EQ(StoredString("LogDir"), logs);
    EXPECT_EQ(StoredInteger("SubDir"), 1);
    EXPECT_EQ(AppSettings().Indir().toStdString(), in);

    Hot().chksubdir->click();
    EXPECT_EQ(StoredInteger("SubDir"), 0);
}

TEST_F(HotDirPageTest, BrowsingWarnsAboutTheOtherFolderAndTheOpenButtonsLaunchTheFileManager)
{
    ChooseAll();
    // The input folder chosen as the output folder: warned, and left out.
    Choose(Hot().btnselectoutdir, in);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Language string 18");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconWarning);
    EXPECT_EQ(Hot().edtoutdir->text().toStdString(), out);
    // A parent of the output folder chosen as input: warned, and taken.
    Choose(Hot().btnselectindir, dir.path());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, "Language string 16");
    EXPECT_EQ(Hot().edtindir->text().toStdString(), dir.path());
    // Cancelled: nothing changes.
    Hot().btnselectlogfile->click();
    EXPECT_EQ(Hot().edtlog->text().toStdString(), logs);

    AppSettings().SetLogDir(QString::fromStdString(logs));
    Hot().btnopeninputdir->click();
    Hot().btnopenoutputdir->click();
    Hot().btnviewlog->click();
    using Launch = std::pair<std::string, std::string>;
    EXPECT_EQ(launcher.launches, (std::vector<Launch>{{"explorer.exe", dir.path()},
                                                      {"explorer.exe", out},
                                                      {"explorer.exe", " /n,/select, \"" + TodayLog() + "\""}}));
}

TEST_F(HotDirPageTest, CopiedFileIsConvertedAndLoggedStopAndStartAgainForgetsTheFirstWatch)
{
    std::filesystem::create_directories(in + "/old");
    WriteFile(in + "/present.txt", "there before the start");
    ChooseAll();
    Start();
    ASSERT_TRUE(window->Monitor()->IsRunning());

    WriteFile(in + "/Book One.txt", "A short book.\n");
    ASSERT_TRUE(WaitUntil([&] { return LogText().find("Finish") != std::string::npos; }, 20000)) << LogText();
    EXPECT_EQ(LogText(), Entries(in + "/Book One.txt", "Book One", true));
    EXPECT_TRUE(FileExists(out + "/Book One/Book One.epub"));
    EXPECT_FALSE(FileExists(out + "/present/present.epub"));
    ASSERT_EQ(window->HotDir()->Controller().ReportedFiles().Count(), 1);
    EXPECT_TRUE(boxes.boxes.empty());

    Hot().btnsbtend->click();
    EXPECT_EQ(window->HotDir()->Controller().ReportedFiles().Count(), 0);
    WriteFile(in + "/while stopped.txt", "written while nobody watched");
    Start();
    ExpectRunning(true);
    WriteFile(in + "/second.fb2", "<FictionBook/>");
    ASSERT_TRUE(WaitUntil([&] { return LogText().find("second.epub") != std::string::npos; }, 20000)) << LogText();
    RunEventsFor(600); // time for a stray report of the file written while stopped
    EXPECT_EQ(LogText(), Entries(in + "/Book One.txt", "Book One", true) + Entries(in + "/second.fb2", "second", true));
    EXPECT_FALSE(FileExists(out + "/while stopped/while stopped.epub"));
    EXPECT_EQ(window->HotDir()->Controller().ReportedFiles().Count(), 1);
}

TEST_F(HotDirPageTest, AnErrorWhileAFileIsProcessedIsShownInTheErrorBoxAndWatchingGoesOn)
{
    ChooseAll();
    Start();
    std::filesystem::remove_all(logs);

    WriteFile(in + "/lost log.txt", "text");
    ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }, 20000));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(TodayLog()), std::string::npos) << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_FALSE(FileExists(out + "/lost log/lost log.epub")) << "not converted without its log entry";

    // The log folder back: the file left pending goes first at the next report.
    std::filesystem::create_directories(logs);
    WriteFile(in + "/next.txt", "text");
    ASSERT_TRUE(WaitUntil([&] { return LogText().find("next.epub") != std::string::npos; }, 20000)) << LogText();
    EXPECT_EQ(LogText(), Entries(in + "/lost log.txt", "lost log", true) + Entries(in + "/next.txt", "next", true));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(HotDirPageTest, SettingsThatCannotBeWrittenAreReportedAndThePageGoesOn)
{
    // A file where the store's folder belongs: every save fails.
    const std::filesystem::path storeFolder = std::filesystem::path(store.ConfigHome()) / "Tarnwick";
    std::filesystem::remove_all(storeFolder);
    WriteFile(storeFolder.string(), "not a folder");
    ChooseAll();

    Hot().chksubdir->click();

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_FALSE(boxes.boxes[0].text.empty());

    // Watching has begun although the settings could not be saved: the page
    // shows it, and Stop ends it.
    Start();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].flags, kMbOk | kMbIconError);
    ExpectRunning(true);
    Hot().btnsbtend->click();
    ExpectRunning(false);
}

TEST_F(HotDirPageTest, ClosingTheWindowEndsTheWatch)
{
    ChooseAll();
    Start();
    ASSERT_TRUE(window->Monitor()->IsRunning());

    window->close();

    EXPECT_EQ(window->Monitor(), nullptr);
    EXPECT_EQ(window->HotDir(), nullptr);
    WriteFile(in + "/after close.txt", "text");
    RunEventsFor(3500);
    EXPECT_EQ(LogText(), "");
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
} // namespace kelvra
