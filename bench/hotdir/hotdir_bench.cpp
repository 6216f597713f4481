// Benchmark of the hot folder under a burst: N files are written into the
// watched folder at once while watching; the real monitor reports them and
// the hot-directory page converts each with the tests' fake converter (a real
// process per file) and logs it. Prints whether every file was converted
// exactly once, the total time against the floor that the dispatch ticks set
// (ten files per 200 ms), and the time per file spent outside the converter,
// first files against last.
//
//   hotdir_bench [files=2000] [bytes per file=4096] [hold]
//
// With "hold", the writer keeps WaitLock during the burst, as a long check
// tick would, so the worker cannot read and a large burst overflows the
// kernel's queue.

#include "hotdir/directory_monitor.h"
#include "hotdir/hotdir_controller.h"
#include "hotdir/monitor_stages.h"
#include "hotdir/wait_thread.h"
#include "tests/hotdir/hotdir_fakes.h"
#include "tests/hotdir/lossy_watch.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace kelvra;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Starts the real converter and adds up how long it ran.
class TimedRunner final : public ProcessRunner {
public:
    Clock::duration lastRun{};
    ProcessOutcome RunAndWait(const ProcessCommand& command) override
    {
        const auto start = Clock::now();
        ProcessOutcome outcome = SystemProcessRunner().RunAndWait(command);
        lastRun = Clock::now() - start;
        return outcome;
    }
};

double Mean(const std::vector<double>& values, std::size_t from, std::size_t to)
{
    to = std::min(to, values.size());
    if (from >= to)
        return 0;
    return std::accumulate(values.begin() + from, values.begin() + to, 0.0) / static_cast<double>(to - from);
}

std::size_t CountOccurrences(const std::string& text, const std::string& piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::stoi(argv[1]) : 2000;
    const std::size_t bytes = argc > 2 ? std::stoul(argv[2]) : 4096;
    const bool holdWorker = argc > 3 && std::string(argv[3]) == "hold";

    test::TempDir temp;
    const std::string in = temp.File("In"), out = temp.File("Out"), logs = temp.File("Log");
    for (const std::string& folder : {in, out, logs})
        std::filesystem::create_directory(folder);

    test::FakeHotDirView view;
    test::FakeHotDirSettings settings;
    test::RecordingMessageBox messages;
    test::RecordingFolderPicker picker;
    test::RecordingShellLauncher launcher;
    test::FakeLogClock clock;
    TimedRunner runner;
    test::LossyWatch::Control watchControl; // never drops: counts the kernel's overflows
    DirectoryMonitor monitor(test::LossyWatch::Factory(watchControl));
    HotDirController page(monitor, {view, settings, messages, picker, launcher, clock, test::FakeLanguage, "Kelvra Converter",
                              ConverterProgram{test::FakeConverterPath(), &runner}});
    view.texts = {{HotDirControl::edtindir, in}, {HotDirControl::edtoutdir, out}, {HotDirControl::edtlog, logs}};
    page.btnsbtrunClick();
    if (!monitor.IsRunning()) {
        std::fprintf(stderr, "the monitor did not start\n");
        return 1;
    }

    // Every report goes through the page; the time outside the converter is
    // the page's whole time for the file minus the converter's run.
    std::vector<double> outsideMs;
    std::vector<double> converterMs;
    std::map<std::string, int> reportsPerFile;
    monitor.SetOnFileReady([&](const std::string& path, std::intptr_t) {
        ++reportsPerFile[path];
        const auto start = Clock::now();
        page.HotDirFileReady(path);
        const auto total = Clock::now() - start;
        converterMs.push_back(Ms(runner.lastRun));
        outsideMs.push_back(Ms(total - runner.lastRun));
    });

    const std::string content(bytes, 'x');
    const auto burstStart = Clock::now();
    std::thread writer([&] {
        std::unique_lock<std::recursive_mutex> hold(WaitLock(), std::defer_lock);
        for (int i = 0; i < files; ++i) {
            std::ofstream file(in + "/book " + std::to_string(i) + ".txt", std::ios::binary);
            file << content;
            file.close();
            if (i == 0 && holdWorker) {
                hold.lock();
                std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the worker blocks on the first file
            }
        }
    });
    writer.join();
    const auto burstEnd = Clock::now();

    std::size_t mostWaiting = 0;
    const auto deadline = burstStart + std::chrono::seconds(files / 50 * 3 + 60);
    double longestPassMs = 0; // a pass of the event loop without a conversion: the check ticks' walks
    while (static_cast<int>(outsideMs.size()) < files && Clock::now() < deadline) {
        const std::size_t doneBefore = outsideMs.size();
        const auto passStart = Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (outsideMs.size() == doneBefore)
            longestPassMs = std::max(longestPassMs, Ms(Clock::now() - passStart));
        if (monitor.Worker())
            mostWaiting = std::max(mostWaiting, monitor.Worker()->WaitingCount());
        QThread::msleep(2);
    }
    const auto lastDone = Clock::now();
    // Anything reported twice would come within a few more ticks.
    const auto settle = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < settle) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    page.btnsbtendClick();

    int twice = 0, converted = 0;
    for (const auto& [path, count] : reportsPerFile)
        twice += count > 1 ? 1 : 0;
    for (int i = 0; i < files; ++i)
        converted += std::filesystem::exists(out + "/book " + std::to_string(i) + "/book " + std::to_string(i) + ".epub");
    const std::string log = test::ReadFile(logs + "/24-03-15.log").value_or("");

    const double totalMs = Ms(lastDone - burstStart);
    const double floorMs = 2000.0 + (files + 9) / 10 * 200.0; // five checks, then ten files per tick
    const std::size_t tenth = std::max<std::size_t>(1, outsideMs.size() / 10);
    std::printf("files written            %d (%zu bytes each) in %.0f ms\n", files, bytes, Ms(burstEnd - burstStart));
    std::printf("files reported           %zu distinct, %d reported more than once\n", reportsPerFile.size(), twice);
    std::printf("EPUBs found              %d\n", converted);
    std::printf("log entries              %zu start, %zu success, %zu failed\n", CountOccurrences(log, "Start: ["),
                CountOccurrences(log, " [Success]"), CountOccurrences(log, " [Failed]"));
    std::printf("kernel queue overflows   %d (each answered by a rescan)\n", watchControl.overflows.load());
    std::printf("most files waiting       %zu\n", mostWaiting);
    std::printf("longest pass, no convert %.1f ms (check ticks walk the waiting list under WaitLock)\n", longestPassMs);
    std::printf("total time               %.0f ms (floor set by the ticks %.0f ms, ratio %.2f)\n", totalMs, floorMs,
                totalMs / floorMs);
    std::printf("converter per file       %.2f ms mean\n", Mean(converterMs, 0, converterMs.size()));
    std::printf("outside converter        first 10%%: %.3f ms, middle 10%%: %.3f ms, last 10%%: %.3f ms per file\n",
                Mean(outsideMs, 0, tenth), Mean(outsideMs, outsideMs.size() / 2, outsideMs.size() / 2 + tenth),
                Mean(outsideMs, outsideMs.size() - tenth, outsideMs.size()));
    const bool ok = static_cast<int>(reportsPerFile.size()) == files && twice == 0 && converted == files;
    std::printf("result                   %s\n", ok ? "every file converted exactly once" : "FILES LOST OR REPEATED");
    return ok ? 0 : 1;
}
