#include "hotdir/directory_monitor.h"

#include "core/paths.h"
#include "hotdir/monitor_stages.h"
#include "hotdir/wait_thread.h"
#include "tests/hotdir/hotdir_test_support.h"
#include "tests/hotdir/lossy_watch.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvra {
namespace {

using test::AppendFile;
using test::LossyWatch;
using test::RunEventsFor;
using test::TempFolder;
using test::WaitUntil;
using test::WriteFile;
namespace fs = std::filesystem;

// Enough for five check ticks after the last change plus one dispatch tick,
// with room for a loaded machine.
constexpr int kReportTimeoutMs = 10000;
// How long to keep watching for reports that must not come.
constexpr int kQuietMs = 3500;

// A monitor on "<temp>/Hot In" (a blank and capitals, to show that the
// folder's own spelling is kept) that records what it reports, relative to
// the watched folder.
struct WatchedFolder {
    TempFolder temp;
    std::string root = temp / "Hot In";
    DirectoryMonitor monitor;
    std::vector<std::string> reports;
    std::vector<qint64> reportTimes;
    QElapsedTimer clock;

    explicit WatchedFolder(DirectoryWatchFactory openWatch = OpenDirectoryWatch) : monitor(std::move(openWatch))
    {
        fs::create_directory(root);
        monitor.SetDirectory(root);
        monitor.SetExtensions(std::string(SupportedExtensions));
        monitor.SetOnFileReady([this](const std::string& path, std::intptr_t) {
            const std::string prefix = root + "/";
            reports.push_back(path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : "<elsewhere> " + path);
            reportTimes.push_back(clock.elapsed());
        });
        clock.start();
    }
    std::string operator/(const std::string& relative) const { return root + "/" + relative; }

    std::vector<std::string> SortedReports() const
    {
        std::vector<std::string> sorted = reports;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

using Action = void (*)(const WatchedFolder&);

// One watched folder's story in two phases, each followed by a wait for the
// reports it should cause (cumulative, sorted).
struct Scenario {
    const char* name;
    bool subtree;
    Action beforeStart;
    Action phase1;
    std::vector<std::string> afterPhase1;
    Action phase2;
    std::vector<std::string> afterPhase2;
};

void Nothing(const WatchedFolder&) {}

const Scenario kScenarios[] = {
    {"copied_file_reported_once", false, Nothing,
     [](const WatchedFolder& f) { WriteFile(f / "book.pdf", "content"); }, {"book.pdf"}, Nothing, {"book.pdf"}},
    {"zero_byte_file_waits_for_content", false, Nothing,
     [](const WatchedFolder& f) { WriteFile(f / "empty.pdf", ""); }, {},
     [](const WatchedFolder& f) { WriteFile(f / "empty.pdf", "now filled"); }, {"empty.pdf"}},
    {"deleted_while_waiting", false, Nothing,
     [](const WatchedFolder& f) {
         WriteFile(f / "gone.pdf", "content");
         fs::remove(f / "gone.pdf");
     },
     {}, Nothing, {}},
    {"several_modifications_one_report", false, Nothing,
     [](const WatchedFolder& f) {
         WriteFile(f / "grow.txt", "one");
         AppendFile(f / "grow.txt", " two");
         AppendFile(f / "grow.txt", " three");
     },
     {"grow.txt"}, Nothing, {"grow.txt"}},
    {"changed_again_after_report", false, Nothing,
     [](const WatchedFolder& f) { WriteFile(f / "again.rtf", "first"); }, {"again.rtf"},
     [](const WatchedFolder& f) { WriteFile(f / "again.rtf", "second version"); }, {"again.rtf", "again.rtf"}},
    {"rename_into_and_out_of_the_name",
     false,
     [](const WatchedFolder& f) {
         WriteFile(f / "out.pdf", "old");
         WriteFile(f.temp / "outside.mobi", "from elsewhere");
     },
     [](const WatchedFolder& f) {
         WriteFile(f / "a.tmp", "draft");
         fs::rename(f / "a.tmp", f / "a.pdf");
         fs::rename(f / "out.pdf", f / "out.tmp");
         fs::rename(f.temp / "outside.mobi", f / "moved in.mobi");
     },
     {"a.pdf", "moved in.mobi"}, Nothing, {"a.pdf", "moved in.mobi"}},
    {"present_at_start_ignored_until_changed",
     false,
     [](const WatchedFolder& f) {
         WriteFile(f / "old.pdf", "old");
         WriteFile(f / "doomed.pdf", "old");
         WriteFile(f / "renamed back.pdf", "old");
     },
     [](const WatchedFolder& f) {
         fs::remove(f / "doomed.pdf");
         std::ofstream(f / "old.pdf", std::ios::app).close(); // opened for writing, closed unchanged
     },
     {},
     [](const WatchedFolder& f) {
         AppendFile(f / "old.pdf", " and new");
         fs::rename(f / "renamed back.pdf", f / "renamed back.tmp");
         fs::rename(f / "renamed back.tmp", f / "renamed back.pdf"); // a new name, though not new content
     },
     {"old.pdf", "renamed back.pdf"}},
    {"unsupported_names_ignored", false, Nothing,
     [](const WatchedFolder& f) {
         WriteFile(f / "book.epub", "x");
         WriteFile(f / "book", "x");
         WriteFile(f / "x.pd", "a piece of an extension passes");
         fs::create_directory(f / "folder.pdf"); // waits one check, then dropped
     },
     {"x.pd"}, Nothing, {"x.pd"}},
    {"letter_case_kept_and_distinct", false, Nothing,
     [](const WatchedFolder& f) {
         WriteFile(f / "Book.PDF", "upper");
         WriteFile(f / "book.pdf", "lower");
     },
     {"Book.PDF", "book.pdf"}, Nothing, {"Book.PDF", "book.pdf"}},
    {"subtree_off_ignores_sub_folders", false, [](const WatchedFolder& f) { fs::create_directory(f / "sub"); },
     [](const WatchedFolder& f) {
         WriteFile(f / "sub/x.pdf", "x");
         fs::create_directory(f / "new");
         WriteFile(f / "new/y.pdf", "y");
     },
     {}, Nothing, {}},
    {"subtree_on_reports_sub_folders", true, [](const WatchedFolder& f) { fs::create_directories(f / "sub/deep"); },
     [](const WatchedFolder& f) {
         WriteFile(f / "sub/x.pdf", "x");
         WriteFile(f / "sub/deep/z.fb2", "z");
         fs::create_directories(f / "new/inner");
         WriteFile(f / "new/inner/y.pdf", "y");
     },
     {"new/inner/y.pdf", "sub/deep/z.fb2", "sub/x.pdf"},
     [](const WatchedFolder& f) { WriteFile(f / "new/later.lit", "l"); },
     {"new/inner/y.pdf", "new/later.lit", "sub/deep/z.fb2", "sub/x.pdf"}},
};

// Every scenario runs in its own folder with its own monitor, all at once, so
// the whole table costs two report cycles.
TEST(DirectoryMonitor, ReportsWhatWasWrittenAfterStartOnceEach)
{
    std::vector<std::unique_ptr<WatchedFolder>> folders;
    for (const Scenario& s : kScenarios) {
        auto folder = std::make_unique<WatchedFolder>();
        folder->monitor.SetWatchSubtree(s.subtree);
        s.beforeStart(*folder);
        folder->monitor.Start();
        folders.push_back(std::move(folder));
    }

    const auto runPhase = [&](Action Scenario::*action, std::vector<std::string> Scenario::*expected) {
        for (std::size_t i = 0; i < folders.size(); ++i)
            (kScenarios[i].*action)(*folders[i]);
        WaitUntil(
            [&] {
                for (std::size_t i = 0; i < folders.size(); ++i) {
                    if (folders[i]->reports.size() < (kScenarios[i].*expected).size())
                        return false;
                }
                return true;
            },
            kReportTimeoutMs);
        RunEventsFor(kQuietMs);
        for (std::size_t i = 0; i < folders.size(); ++i) {
            SCOPED_TRACE(kScenarios[i].name);
            EXPECT_EQ(folders[i]->SortedReports(), kScenarios[i].*expected);
        }
    };
    {
        SCOPED_TRACE("phase 1");
        runPhase(&Scenario::phase1, &Scenario::afterPhase1);
    }
    {
        SCOPED_TRACE("phase 2");
        runPhase(&Scenario::phase2, &Scenario::afterPhase2);
    }
}

// A copied file and a file whose writer (another process) keeps it open at a
// constant size: neither is reported before five checks after the close.
TEST(DirectoryMonitor, ReportComesFiveChecksAfterTheWriterLetsGo)
{
    WatchedFolder copied;
    WatchedFolder held;
    copied.monitor.Start();
    held.monitor.Start();

    QProcess writer;
    writer.start("sh", {"-c", "exec 3>\"$0\"; printf 'constant size' >&3; sleep 4", QString::fromStdString(held / "held.pdf")});
    ASSERT_TRUE(writer.waitForStarted());
    WriteFile(copied / "copied.pdf", "copied content");
    const qint64 copiedClosedAt = copied.clock.elapsed();

    ASSERT_TRUE(WaitUntil([&] { return writer.state() == QProcess::NotRunning; }, kReportTimeoutMs));
    const qint64 heldClosedAt = held.clock.elapsed();
    EXPECT_TRUE(held.reports.empty()) << "reported while its writer still had it open";

    ASSERT_TRUE(WaitUntil([&] { return !held.reports.empty(); }, kReportTimeoutMs));
    RunEventsFor(1000);
    ASSERT_EQ(copied.reports, std::vector<std::string>{"copied.pdf"});
    ASSERT_EQ(held.reports, std::vector<std::string>{"held.pdf"});
    // Five ticks 500 ms apart: the first may come right after the close.
    EXPECT_GE(copied.reportTimes[0] - copiedClosedAt, 1900);
    EXPECT_LT(copied.reportTimes[0] - copiedClosedAt, 5000); // loose: a loaded machine delays ticks
    EXPECT_GE(held.reportTimes[0] - heldClosedAt, 1900);
}

TEST(DirectoryMonitor, ReportedPathIsTheWatchedFolderAsGivenPlusTheRelativeName)
{
    WatchedFolder folder;
    folder.monitor.SetDirectory(folder.root + "/");
    std::vector<std::string> paths;
    folder.monitor.SetOnFileReady([&](const std::string& path, std::intptr_t userData) {
        paths.push_back(path);
        EXPECT_EQ(userData, 42);
    });
    folder.monitor.SetUserData(42);
    folder.monitor.Start();
    WriteFile(folder / "Mixed Case.Pdf", "x");
    ASSERT_TRUE(WaitUntil([&] { return !paths.empty(); }, kReportTimeoutMs));
    EXPECT_EQ(paths[0], folder.root + "/Mixed Case.Pdf");
    EXPECT_EQ(folder.monitor.Directory(), folder.root + "/");
}

TEST(DirectoryMonitor, EmptyExtensionsAcceptEveryName)
{
    WatchedFolder folder;
    folder.monitor.SetExtensions("");
    folder.monitor.Start();
    WriteFile(folder / "anything.xyz", "x");
    WriteFile(folder / "no extension", "x");
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 2; }, kReportTimeoutMs));
    EXPECT_EQ(folder.SortedReports(), (std::vector<std::string>{"anything.xyz", "no extension"}));
}

// The worker is held on WaitLock (as while a check tick walks a long list)
// when the sub-folder appears and is written to, so the file exists before
// its folder's watch does; listing the new folder must find it.
TEST(DirectoryMonitor, FileWrittenIntoNewSubFolderBeforeItsWatchIsFound)
{
    WatchedFolder folder;
    folder.monitor.SetWatchSubtree(true);
    folder.monitor.Start();
    {
        std::lock_guard<std::recursive_mutex> hold(WaitLock());
        WriteFile(folder / "first.pdf", "x");
        QThread::msleep(300); // the worker is now blocked adding first.pdf
        fs::create_directories(folder / "late/deeper");
        WriteFile(folder / "late/early bird.pdf", "written before any watch");
        WriteFile(folder / "late/deeper/deep.txt", "also");
    }
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 3; }, kReportTimeoutMs));
    RunEventsFor(1000);
    EXPECT_EQ(folder.SortedReports(),
              (std::vector<std::string>{"first.pdf", "late/deeper/deep.txt", "late/early bird.pdf"}));
}

// Sub-folders renamed inside the tree, moved in and moved out while the
// worker is held, so that files are written into them before the worker has
// seen the move.
TEST(DirectoryMonitor, FoldersMovedWhileWatchedReportWhatIsWrittenIntoThem)
{
    WatchedFolder folder;
    folder.monitor.SetWatchSubtree(true);
    fs::create_directories(folder / "sub/inner");
    fs::create_directories(folder / "leaving");
    fs::create_directories(folder.temp / "incoming");
    WriteFile(folder.temp / "incoming/brought along.pdf", "written long before");
    fs::last_write_time(folder.temp / "incoming/brought along.pdf",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    folder.monitor.Start();
    {
        std::lock_guard<std::recursive_mutex> hold(WaitLock());
        WriteFile(folder / "first.pdf", "x");
        QThread::msleep(300); // the worker is now blocked adding first.pdf
        fs::rename(folder / "sub", folder / "renamed");
        WriteFile(folder / "renamed/inner/a.pdf", "into the renamed folder");
        fs::rename(folder.temp / "incoming", folder / "incoming");
        WriteFile(folder / "incoming/b.pdf", "into the folder moved in");
        fs::rename(folder / "leaving", folder.temp / "left");
        WriteFile(folder.temp / "left/c.pdf", "outside now");
    }
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 3; }, kReportTimeoutMs));
    RunEventsFor(kQuietMs);
    EXPECT_EQ(folder.SortedReports(),
              (std::vector<std::string>{"first.pdf", "incoming/b.pdf", "renamed/inner/a.pdf"}));

    // The watches follow the new names.
    WriteFile(folder / "renamed/later.pdf", "x");
    WriteFile(folder / "incoming/later.pdf", "x");
    WriteFile(folder.temp / "left/later.pdf", "x");
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 5; }, kReportTimeoutMs));
    RunEventsFor(1000);
    EXPECT_EQ(folder.SortedReports(), (std::vector<std::string>{"first.pdf", "incoming/b.pdf", "incoming/later.pdf",
                                                                 "renamed/inner/a.pdf", "renamed/later.pdf"}));
}

// The versions of reported files are remembered to tell a rescan what is
// new; those of files that are gone are dropped once the table has grown.
TEST(DirectoryMonitor, ForgetsTheVersionsOfReportedFilesThatAreGone)
{
    WatchedFolder folder;
    folder.monitor.SetExtensions("");
    folder.monitor.SetOnFileReady(nullptr);
    folder.monitor.Start();
    const auto writeAll = [&](const std::string& prefix, int count) {
        for (int i = 0; i < count; ++i)
            WriteFile(folder / (prefix + std::to_string(i)), "x");
    };
    writeAll("gone ", 600);
    ASSERT_TRUE(WaitUntil([&] { return folder.monitor.Worker()->KnownFileCount() == 600; }, kReportTimeoutMs));
    for (int i = 0; i < 600; ++i)
        fs::remove(folder / ("gone " + std::to_string(i)));
    writeAll("kept ", 600); // the table reaches 1,024 on the way
    ASSERT_TRUE(WaitUntil([&] { return folder.monitor.Worker()->WaitingCount() > 0; }, kReportTimeoutMs));
    ASSERT_TRUE(WaitUntil([&] { return folder.monitor.Worker()->WaitingCount() == 0; }, kReportTimeoutMs));
    EXPECT_EQ(folder.monitor.Worker()->KnownFileCount(), 600u) << "1200 when nothing was forgotten";
}

TEST(DirectoryMonitor, StopForgetsWaitingFilesAndKeepsReadyOnes)
{
    WatchedFolder folder;
    folder.monitor.Start();
    WriteFile(folder / "waiting.pdf", "x");
    ASSERT_TRUE(WaitUntil([&] { return folder.monitor.Worker()->WaitingCount() == 1; }, kReportTimeoutMs));
    folder.monitor.Stop();
    EXPECT_FALSE(folder.monitor.IsRunning());
    EXPECT_FALSE(IsDispatchTimerEnabled());
    folder.monitor.Stop(); // stopping twice does nothing

    // A file that became ready but was not dispatched yet survives the stop.
    AppendReadyFile(folder / "queued.pdf", &folder.monitor);
    RunEventsFor(600);
    EXPECT_TRUE(folder.reports.empty());

    folder.monitor.Start();
    ASSERT_TRUE(WaitUntil([&] { return !folder.reports.empty(); }, kReportTimeoutMs));
    RunEventsFor(kQuietMs); // waiting.pdf did not change since: never reported
    EXPECT_EQ(folder.reports, std::vector<std::string>{"queued.pdf"});
}

TEST(DirectoryMonitor, StartErrorsLeaveItStopped)
{
    TempFolder temp;
    WriteFile(temp / "a file.pdf", "x");
    struct Case {
        const char* name;
        std::string directory;
        std::string message;
    };
    const Case cases[] = {
        {"names_a_file", temp / "a file.pdf", kNotAFolderMessage},
        {"missing_folder", temp / "missing", "No such file or directory"},
        {"empty_text", "", "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirectoryMonitor monitor;
        monitor.SetDirectory(c.directory);
        try {
            monitor.Start();
            ADD_FAILURE() << "Start did not raise";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_FALSE(monitor.IsRunning());
        EXPECT_EQ(monitor.Worker(), nullptr);
    }

    DirectoryMonitor running;
    running.SetDirectory(temp.path());
    running.Start();
    EXPECT_THROW(running.Start(), std::runtime_error);
    EXPECT_TRUE(running.IsRunning());
}

TEST(DirectoryMonitor, DestroyingARunningMonitorStopsItAndDropsItsQueuedFiles)
{
    TempFolder temp;
    int calls = 0;
    auto doomed = std::make_unique<DirectoryMonitor>();
    doomed->SetDirectory(temp.path());
    doomed->SetOnFileReady([&](const std::string&, std::intptr_t) { ++calls; });
    doomed->Start();
    WriteFile(temp / "x.pdf", "x");
    AppendReadyFile(temp / "queued.pdf", doomed.get());
    AppendReadyFile(temp / "queued2.pdf", doomed.get());
    const std::size_t before = ReadyQueueLength();
    doomed.reset();
    EXPECT_EQ(ReadyQueueLength(), before - 2);
    EnableDispatchTimer();
    RunEventsFor(3500);
    DisableDispatchTimer();
    EXPECT_EQ(calls, 0);
}

struct LossyFolder {
    LossyWatch::Control control;
    std::atomic<bool>& drop = control.drop;
    std::atomic<int>& overflows = control.overflows;
    WatchedFolder folder{LossyWatch::Factory(control)};
};

TEST(DirectoryMonitor, InjectedOverflowLosesNothingAndRepeatsNothing)
{
    LossyFolder lossy;
    WatchedFolder& folder = lossy.folder;
    folder.monitor.SetWatchSubtree(true);
    fs::create_directory(folder / "sub");
    WriteFile(folder / "untouched.pdf", "there at start");
    WriteFile(folder / "touched.pdf", "there at start");
    folder.monitor.Start();

    WriteFile(folder / "before.pdf", "reported before the overflow");
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() == 1; }, kReportTimeoutMs));

    lossy.drop = true;
    WriteFile(folder / "lost.pdf", "its changes are dropped");
    AppendFile(folder / "touched.pdf", " and changed");
    fs::create_directory(folder / "born in the gap");
    WriteFile(folder / "born in the gap/inner.pdf", "x");
    WriteFile(folder / "sub/lost too.txt", "x");
    WriteFile(folder / "lost.epub", "not accepted");
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 5; }, kReportTimeoutMs));
    RunEventsFor(kQuietMs);
    EXPECT_GT(lossy.overflows, 0);
    EXPECT_EQ(folder.SortedReports(), (std::vector<std::string>{"before.pdf", "born in the gap/inner.pdf", "lost.pdf",
                                                                 "sub/lost too.txt", "touched.pdf"}));

    // After the overflow the new sub-folder is watched like any other.
    lossy.drop = false;
    WriteFile(folder / "born in the gap/after.pdf", "x");
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 6; }, kReportTimeoutMs));
    EXPECT_EQ(folder.reports.back(), "born in the gap/after.pdf");
}

int MaxQueuedEvents()
{
    const std::string text = test::ReadText("/proc/sys/fs/inotify/max_queued_events");
    return text.empty() ? 16384 : std::stoi(text);
}

// The kernel's own queue overflows: the worker is held on WaitLock while a
// burst of more events than the queue holds arrives.
TEST(DirectoryMonitor, RealOverflowOfTheKernelQueueLosesNothing)
{
    LossyFolder lossy; // never drops: only counts the kernel's overflows
    WatchedFolder& folder = lossy.folder;
    folder.monitor.Start();
    // Each file written costs at least three events (create, modify, close).
    const int fillers = MaxQueuedEvents() / 3 + 500;
    {
        std::lock_guard<std::recursive_mutex> hold(WaitLock());
        WriteFile(folder / "first.pdf", "x");
        QThread::msleep(300); // the worker is now blocked adding first.pdf
        for (int i = 0; i < fillers; ++i)
            WriteFile(folder / ("filler " + std::to_string(i) + ".tmp"), "f");
        for (int i = 0; i < 3; ++i)
            WriteFile(folder / ("lost " + std::to_string(i) + ".pdf"), "written while the queue was full");
    }
    ASSERT_TRUE(WaitUntil([&] { return folder.reports.size() >= 4; }, 3 * kReportTimeoutMs));
    RunEventsFor(1000);
    EXPECT_GT(lossy.overflows, 0);
    EXPECT_EQ(folder.SortedReports(), (std::vector<std::string>{"first.pdf", "lost 0.pdf", "lost 1.pdf", "lost 2.pdf"}));
}

} // namespace
} // namespace kelvra
