#include "hotdir/hotdir_controller.h"

#include "core/paths.h"
#include "hotdir/directory_monitor.h"
#include "hotdir/monitor_stages.h"
#include "tests/hotdir/hotdir_fakes.h"
#include "tests/hotdir/hotdir_test_support.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace kelvra {
namespace {

namespace fs = std::filesystem;
using test::FakeHotDirSettings;
using test::FakeHotDirView;
using test::FakeLogClock;
using test::RecordingMessageBox;
using test::TempFolder;

constexpr char kTitle[] = "Kelvra Converter";

// The page with fakes around it, and real folders In, Out and Log.
struct ControllerHarness {
    TempFolder temp;
    std::string in = temp / "In";
    std::string out = temp / "Out";
    std::string logs = temp / "Log";
    FakeHotDirView view;
    FakeHotDirSettings settings;
    RecordingMessageBox messages;
    test::RecordingFolderPicker picker;
    test::RecordingShellLauncher launcher;
    FakeLogClock clock;
    test::RecordingProcessRunner runner;
    DirectoryMonitor monitor;
    HotDirController page;

    explicit ControllerHarness(ConverterProgram converter = {}, DirectoryWatchFactory openWatch = OpenDirectoryWatch)
        : monitor(std::move(openWatch)),
          page(monitor, HotDirControllerServices{view, settings, messages, picker, launcher, clock, test::FakeLanguage, kTitle,
                                           converter.path.empty() ? ConverterProgram{"ebook.exe", &runner} : converter})
    {
        for (const std::string& folder : {in, out, logs})
            fs::create_directory(folder);
    }

    void FillFields(const std::string& input, const std::string& output, const std::string& log)
    {
        view.texts[HotDirControl::edtindir] = input;
        view.texts[HotDirControl::edtoutdir] = output;
        view.texts[HotDirControl::edtlog] = log;
    }

    std::string Log() const { return test::ReadText(logs + "/24-03-15.log"); }
};

struct StartCheckCase {
    const char* name;
    const char* input;  // relative to the temporary folder; "" stays empty
    const char* output;
    const char* log;
    int message;
    HotDirControl focus;
};

const StartCheckCase kStartChecks[] = {
    {"all_empty", "", "", "", 15, HotDirControl::edtindir},
    {"input_missing", "Nowhere", "Out", "Log", 15, HotDirControl::edtindir},
    {"output_missing", "In", "Nowhere", "Log", 17, HotDirControl::edtoutdir},
    {"output_empty", "In", "", "Log", 17, HotDirControl::edtoutdir},
    {"log_missing", "In", "Out", "Nowhere", 19, HotDirControl::edtlog},
    {"output_is_input", "In", "In", "Log", 20, HotDirControl::edtindir},
    {"output_is_input_with_delimiter", "In", "In/", "Log", 20, HotDirControl::edtindir},
    {"output_inside_input", "In", "In/Inner", "Log", 20, HotDirControl::edtindir},
    {"output_inside_input_other_case", "In", "in/Inner", "Log", 20, HotDirControl::edtindir},
};

TEST(HotDirController, StartChecksRefuseInOrderWithTheirMessageAndFocus)
{
    for (const StartCheckCase& c : kStartChecks) {
        SCOPED_TRACE(c.name);
        ControllerHarness h;
        fs::create_directory(h.in + "/Inner");
        fs::create_directory(h.temp / "in"); // the other letter case exists too
        fs::create_directory(h.temp / "in/Inner");
        const auto at = [&](const char* relative) { return *relative ? h.temp / relative : std::string(); };
        h.FillFields(at(c.input), at(c.output), at(c.log));

        h.page.btnsbtrunClick();

        ASSERT_EQ(h.messages.shown.size(), 1u);
        EXPECT_EQ(h.messages.shown[0].text, test::FakeLanguage(c.message));
        EXPECT_EQ(h.messages.shown[0].caption, kTitle);
        EXPECT_EQ(h.messages.shown[0].flags, kMbOk | kMbIconInformation);
        EXPECT_EQ(h.view.focusMoves, std::vector<HotDirControl>{c.focus});
        EXPECT_FALSE(h.monitor.IsRunning());
        EXPECT_TRUE(h.settings.saved.empty());
        EXPECT_TRUE(h.view.enabled.empty());
    }
}

TEST(HotDirController, OutputContainingTheInputOrNamedAlikeElsewhereIsAccepted)
{
    struct Case {
        const char* name;
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {"output_contains_input", "In/Sub", "In"},
        {"same_name_elsewhere", "In", "Out/In"},
        {"name_that_extends_the_input", "In", "Inbox"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHarness h;
        fs::create_directories(h.temp / c.input);
        fs::create_directories(h.temp / c.output);
        h.FillFields(h.temp / c.input, h.temp / c.output, h.logs);
        h.page.btnsbtrunClick();
        EXPECT_TRUE(h.messages.shown.empty());
        EXPECT_TRUE(h.monitor.IsRunning());
    }
}

void ExpectRunningState(const FakeHotDirView& view, bool running)
{
    const std::map<HotDirControl, bool> expected = {
        {HotDirControl::btnsbtrun, !running},       {HotDirControl::btnsbtend, running},
        {HotDirControl::btnmin, running},           {HotDirControl::edtindir, !running},
        {HotDirControl::edtoutdir, !running},       {HotDirControl::edtlog, !running},
        {HotDirControl::chksubdir, !running},       {HotDirControl::actSelectIndir, !running},
        {HotDirControl::actSelectOutdir, !running}, {HotDirControl::btnselectlogfile, !running},
        {HotDirControl::btnsbtreturn, !running},
    };
    EXPECT_EQ(view.enabled, expected);
}

TEST(HotDirController, StartWatchesSavesAndShowsRunningStopUndoesIt)
{
    ControllerHarness h;
    h.settings.values = {"/old/log", "/old/in", "/old/out", false};
    h.FillFields(h.in, h.out, h.logs);
    h.view.subDir = true;

    h.page.btnsbtrunClick();

    EXPECT_TRUE(h.messages.shown.empty());
    ASSERT_TRUE(h.monitor.IsRunning());
    EXPECT_EQ(h.monitor.Directory(), h.in);
    EXPECT_TRUE(h.monitor.WatchSubtree());
    EXPECT_EQ(h.monitor.Extensions(), SupportedExtensions);
    ASSERT_EQ(h.settings.saved.size(), 1u);
    EXPECT_EQ(h.settings.saved[0].Indir, h.in);
    EXPECT_EQ(h.settings.saved[0].OutDir, h.out);
    EXPECT_EQ(h.settings.saved[0].LogDir, h.logs);
    EXPECT_TRUE(h.settings.saved[0].SubDir);
    ExpectRunningState(h.view, true);

    h.page.HotDirFileReady(h.in + "/x.pdf");
    EXPECT_EQ(h.page.ReportedFiles().Count(), 1);
    h.page.btnsbtendClick();
    EXPECT_FALSE(h.monitor.IsRunning());
    EXPECT_EQ(h.page.ReportedFiles().Count(), 0);
    ExpectRunningState(h.view, false);
}

TEST(HotDirController, MonitorThatCannotStartLeavesThePageStoppedAndUnsaved)
{
    ControllerHarness h({}, [](const std::string&, bool) -> std::unique_ptr<DirectoryWatch> {
        throw DirectoryWatchError("Too many open files", false);
    });
    h.FillFields(h.in, h.out, h.logs);
    try {
        h.page.btnsbtrunClick();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Too many open files");
    }
    EXPECT_FALSE(h.monitor.IsRunning());
    EXPECT_TRUE(h.settings.saved.empty());
    EXPECT_TRUE(h.view.enabled.empty());
}

TEST(HotDirController, SettingsThatCannotBeSavedStillShowTheRunningWatch)
{
    ControllerHarness h;
    h.FillFields(h.in, h.out, h.logs);
    h.settings.failSave = true;
    EXPECT_THROW(h.page.btnsbtrunClick(), std::runtime_error);
    EXPECT_TRUE(h.monitor.IsRunning());
    ExpectRunningState(h.view, true);
}

TEST(HotDirController, LoadFillsTheFieldsAndSaveKeepsSettingsOfEmptyFields)
{
    ControllerHarness h;
    h.settings.values = {"/log", "/in", "/out", true};
    h.page.LoadHotDirSettings();
    EXPECT_EQ(h.view.Text(HotDirControl::edtlog), "/log");
    EXPECT_EQ(h.view.Text(HotDirControl::edtindir), "/in");
    EXPECT_EQ(h.view.Text(HotDirControl::edtoutdir), "/out");
    EXPECT_TRUE(h.view.subDir);

    h.FillFields("", "/new out", "");
    h.view.subDir = false;
    h.page.chksubdirClick();
    ASSERT_EQ(h.settings.saved.size(), 1u);
    EXPECT_EQ(h.settings.saved[0].Indir, "/in");
    EXPECT_EQ(h.settings.saved[0].OutDir, "/new out");
    EXPECT_EQ(h.settings.saved[0].LogDir, "/log");
    EXPECT_FALSE(h.settings.saved[0].SubDir);
}

struct ChooseCase {
    const char* name;
    void (HotDirController::*action)();
    const char* chosen; // nothing chosen: the user cancels
    const char* otherText;
    const char* title;
    int warning; // 0: none
    HotDirControl target;
    HotDirControl other;
    const char* expectedTarget;
};

const ChooseCase kChooseCases[] = {
    {"input_plain", &HotDirController::actSelectIndirExecute, "/books/in", "/books/out", "language string 15", 0,
     HotDirControl::edtindir, HotDirControl::edtoutdir, "/books/in"},
    {"input_equals_output", &HotDirController::actSelectIndirExecute, "/books/out", "/books/out", "language string 15", 16,
     HotDirControl::edtindir, HotDirControl::edtoutdir, "before"},
    {"input_is_parent_of_output", &HotDirController::actSelectIndirExecute, "/books", "/books/out", "language string 15",
     16, HotDirControl::edtindir, HotDirControl::edtoutdir, "/books"},
    {"input_equals_output_other_case", &HotDirController::actSelectIndirExecute, "/Books/Out", "/books/out",
     "language string 15", 16, HotDirControl::edtindir, HotDirControl::edtoutdir, "/Books/Out"},
    {"input_cancelled", &HotDirController::actSelectIndirExecute, nullptr, "/books/out", "language string 15", 0,
     HotDirControl::edtindir, HotDirControl::edtoutdir, "before"},
    {"output_plain", &HotDirController::actSelectOutdirExecute, "/books/out", "/books/in", "language string 17", 0,
     HotDirControl::edtoutdir, HotDirControl::edtindir, "/books/out"},
    {"output_is_parent_of_input", &HotDirController::actSelectOutdirExecute, "/books", "/books/in", "language string 17",
     18, HotDirControl::edtoutdir, HotDirControl::edtindir, "/books"},
    {"output_equals_input", &HotDirController::actSelectOutdirExecute, "/books/in", "/books/in", "language string 17", 18,
     HotDirControl::edtoutdir, HotDirControl::edtindir, "before"},
    {"output_same_name_elsewhere", &HotDirController::actSelectOutdirExecute, "/in", "/books/in", "language string 17", 0,
     HotDirControl::edtoutdir, HotDirControl::edtindir, "/in"},
    {"log_folder", &HotDirController::actSelectLogpathExecute, "/books/in", "/books/in", "log path", 0,
     HotDirControl::edtlog, HotDirControl::edtindir, "/books/in"},
};

TEST(HotDirController, ChooseActionsWarnAndFillTheirField)
{
    for (const ChooseCase& c : kChooseCases) {
        SCOPED_TRACE(c.name);
        ControllerHarness h;
        h.view.texts[c.target] = "before";
        h.view.texts[c.other] = c.otherText;
        if (c.chosen)
            h.picker.answer = c.chosen;

        (h.page.*c.action)();

        ASSERT_EQ(h.picker.requests.size(), 1u);
        EXPECT_EQ(h.picker.requests[0].title, c.title);
        EXPECT_EQ(h.picker.requests[0].startFolder, "");
        if (c.warning) {
            ASSERT_EQ(h.messages.shown.size(), 1u);
            EXPECT_EQ(h.messages.shown[0].text, test::FakeLanguage(c.warning));
            EXPECT_EQ(h.messages.shown[0].caption, kTitle);
            EXPECT_EQ(h.messages.shown[0].flags, kMbOk | kMbIconWarning);
        } else {
            EXPECT_TRUE(h.messages.shown.empty());
        }
        EXPECT_EQ(h.view.Text(c.target), c.expectedTarget);
        EXPECT_EQ(h.view.Text(c.other), c.otherText);
    }
}

TEST(HotDirController, OpenActionsHandTheShellTheirParameters)
{
    ControllerHarness h;
    h.FillFields("/field in", "/field out", "/field log");
    h.settings.values.LogDir = "/settings log";
    h.page.actOpenIndirExecute();
    h.page.actOpenOutdirExecute();
    h.page.actOpenLogDirExecute();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"explorer.exe", "/field in"},
        {"explorer.exe", "/field out"},
        {"explorer.exe", " /n,/select, \"/settings log/24-03-15.log\""},
    };
    EXPECT_EQ(h.launcher.launches, expected);
}

// Processing without the monitor: a recording runner stands in for the
// converter and writes (or does not write) the EPUB.
TEST(HotDirController, ReportedFileIsConvertedAndLoggedByteForByte)
{
    ControllerHarness h;
    h.settings.values = {h.logs, h.in, h.out, false};
    h.runner.onRun = [&](const ProcessCommand& command) {
        h.clock.time = "10:11:19"; // the conversion takes a while
        test::WriteFile(command.arguments.at(1), "epub");
    };
    const std::string input = h.in + "/My Book.pdf";

    h.page.HotDirFileReady(input);

    ASSERT_EQ(h.runner.commands.size(), 1u);
    EXPECT_EQ(h.runner.commands[0].arguments.at(0), input);
    EXPECT_EQ(h.runner.commands[0].arguments.at(1), h.out + "/My Book/My Book.epub");
    EXPECT_EQ(h.Log(), "Start: [10:11:12]\r\nExcute File: " + input + "\r\nSave to: " + h.out
                           + "/My Book.epub [Success]\r\nFinish: [10:11:19]\r\n");
    EXPECT_EQ(h.page.ReportedFiles().Value(0), "1");
}

TEST(HotDirController, FailuresAreLoggedOnceOrTwiceAndNotRetried)
{
    ControllerHarness h;
    h.settings.values = {h.logs, h.in, h.out, false};
    // No EPUB: one failed entry.
    h.page.HotDirFileReady(h.in + "/a.pdf");
    // An error while converting: the failure report's entry, then the result.
    h.runner.onRun = [](const ProcessCommand&) { throw std::runtime_error("cannot start"); };
    h.page.HotDirFileReady(h.in + "/b.txt");

    const std::string a = h.out + "/a.epub";
    const std::string b = h.out + "/b.epub";
    EXPECT_EQ(h.Log(), "Start: [10:11:12]\r\nExcute File: " + h.in + "/a.pdf\r\nSave to: " + a
                           + " [Failed]\r\nFinish: [10:11:12]\r\n" + "Start: [10:11:12]\r\nExcute File: " + h.in
                           + "/b.txt\r\nSave to: " + b + " [Failed]\r\nFinish: [10:11:12]\r\nSave to: " + b
                           + " [Failed]\r\nFinish: [10:11:12]\r\n");
    EXPECT_EQ(h.page.ReportedFiles().Value(0), "2");
    EXPECT_EQ(h.page.ReportedFiles().Value(1), "2");
    EXPECT_EQ(h.runner.commands.size(), 2u);
}

TEST(HotDirController, FileWhoseLogCouldNotBeWrittenIsProcessedFirstAtTheNextReport)
{
    ControllerHarness h;
    h.settings.values = {h.temp / "log gone", h.in, h.out, false};
    EXPECT_THROW(h.page.HotDirFileReady(h.in + "/first.pdf"), std::runtime_error);
    EXPECT_TRUE(h.runner.commands.empty()) << "converted although its start was not logged";
    EXPECT_EQ(h.page.ReportedFiles().Value(0), "");

    fs::create_directory(h.temp / "log gone");
    h.page.HotDirFileReady(h.in + "/second.pdf");
    ASSERT_EQ(h.runner.commands.size(), 2u);
    EXPECT_EQ(h.runner.commands[0].arguments.at(0), h.in + "/first.pdf");
    EXPECT_EQ(h.runner.commands[1].arguments.at(0), h.in + "/second.pdf");
    EXPECT_EQ(h.page.ReportedFiles().Value(0), "2");
    EXPECT_EQ(h.page.ReportedFiles().Value(1), "2");
}

TEST(HotDirController, WithSubDirTheOutputFolderIsCreatedFirst)
{
    ControllerHarness h;
    const std::string out = h.temp / "Out new/deeper";
    h.settings.values = {h.logs, h.in, out, true};
    std::vector<bool> existed;
    h.runner.onRun = [&](const ProcessCommand&) { existed.push_back(fs::is_directory(out)); };
    h.page.HotDirFileReady(h.in + "/sub/book.pdf");
    EXPECT_EQ(existed, std::vector<bool>{true});
}

// The whole way: a file copied into the watched folder, reported by the
// real monitor, converted by the fake converter program, logged.
TEST(HotDirController, FileCopiedIntoTheWatchedFolderEndsUpConvertedAndLogged)
{
    ControllerHarness h(ConverterProgram{test::FakeConverterPath(), nullptr});
    h.FillFields(h.in, h.out, h.logs);
    h.page.btnsbtrunClick();
    ASSERT_TRUE(h.monitor.IsRunning());

    test::WriteFile(h.in + "/Book.pdf", "a book");
    test::WriteFile(h.in + "/notes.epub", "not accepted");
    ASSERT_TRUE(test::WaitUntil([&] { return h.page.ReportedFiles().Count() == 1 && h.page.ReportedFiles().Value(0) != ""; },
                                10000));
    test::RunEventsFor(1000);
    EXPECT_TRUE(fs::exists(h.out + "/Book/Book.epub"));
    EXPECT_EQ(h.Log(), "Start: [10:11:12]\r\nExcute File: " + h.in + "/Book.pdf\r\nSave to: " + h.out
                           + "/Book.epub [Success]\r\nFinish: [10:11:12]\r\n");
    EXPECT_EQ(h.page.ReportedFiles().Count(), 1);
    h.page.btnsbtendClick();
}

} // namespace
} // namespace kelvra
