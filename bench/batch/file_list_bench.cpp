// Benchmark of the batch page's file list: a folder of N supported files
// (some names differing only in letter case, which duplicate removal takes
// out) is added through Add Folder on the real window offscreen, then the
// list is sorted by each column. Prints the time of each step, the list's own
// work apart from the view's layout and paint that follows it.
//
//   file_list_bench [files=100000] [folder (kept and reused; default: a fresh temporary one)]

#include "core/file_info.h"
#include "gui/batch_page.h"
#include "gui/conversion_list_model.h"
#include "gui/file_list_actions.h"
#include "gui/file_list_view.h"
#include "gui/quorran_window.h"
#include "settings/cd_settings.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Lets the view lay itself out and paint what the change left it; returns
// how long that took.
double ViewCatchUp(QWidget& window)
{
    const auto start = Clock::now();
    QApplication::processEvents();
    window.repaint();
    return MillisecondsSince(start);
}

void MakeBooks(const std::string& folder, int count)
{
    std::filesystem::create_directories(folder);
    const char* const extensions[] = {".pdf", ".mobi", ".azw3", ".txt", ".fb2", ".rtf", ".lit"};
    for (int i = 0; i < count; ++i) {
        // Every hundredth name is an upper-case twin of the one before it.
        const bool twin = i % 100 == 99;
        const int number = twin ? i - 1 : i;
        std::string name = "book " + std::to_string(number * 7919 % 1000003) + extensions[number % 7];
        if (twin)
            for (char& c : name)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::ofstream(folder + "/" + name) << std::string(static_cast<std::size_t>(number % 5000), 'x');
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::unique_ptr<kelvra::test::TempDir> temporary;
    std::string folder;
    if (argc > 2) {
        folder = argv[2];
    } else {
        temporary = std::make_unique<kelvra::test::TempDir>();
        folder = temporary->File("books");
    }
    if (!std::filesystem::exists(folder)) {
        const auto start = Clock::now();
        MakeBooks(folder, count);
        std::printf("created %d files in %s: %.0f ms\n", count, folder.c_str(), MillisecondsSince(start));
    }

    kelvra::test::TempDir config;
    const kelvra::test::ScopedEnv configHome("XDG_CONFIG_HOME", config.path());
    QApplication app(argc, argv);
    kelvra::AppSettingsModule settings;
    kelvra::test::RecordingFolderPicker picker;
    kelvra::test::RecordingShellLauncher launcher;
    kelvra::WindowServices services;
    services.folderPicker = &picker;
    services.launcher = &launcher;
    kelvra::TfrmQuorran window(services);
    window.show();
    window.actNextExecute();
    QApplication::processEvents();
    auto* list = window.findChild<kelvra::FileListActions*>();
    kelvra::ConversionListModel& items = list->Items();

    // The parts of Add Folder on their own.
    {
        std::vector<std::string> scanned;
        auto start = Clock::now();
        kelvra::ScanFolder(folder, scanned, "*.*", false);
        std::printf("ScanFolder alone: %zu files, %.0f ms\n", scanned.size(), MillisecondsSince(start));
        start = Clock::now();
        std::int64_t total = 0;
        for (const std::string& path : scanned)
            total += kelvra::FileSizeBySearch(path);
        std::printf("FileSizeBySearch of every file alone: %.0f ms (%lld bytes)\n", MillisecondsSince(start),
                    static_cast<long long>(total));
    }

    picker.answer = folder;
    for (int round = 1; round <= 2; ++round) {
        const auto start = Clock::now();
        list->actAddFolderExecute();
        const double own = MillisecondsSince(start);
        const double view = ViewCatchUp(window);
        std::printf("Add Folder %s (scan, sizes, items, duplicate removal): %d items, %.0f ms list + %.0f ms view\n",
                    round == 1 ? "into the empty list" : "replacing the full list", items.Count(), own, view);
    }

    {
        // Duplicate removal over the whole list with the duplicates put back.
        std::vector<std::string> all;
        for (int row = 0; row < items.Count(); ++row)
            all.push_back(items.Item(row).fullFileName);
        items.AddListFiles(all);
        ViewCatchUp(window);
        const int before = items.Count();
        const auto start = Clock::now();
        const int removed = items.RemoveDuplicateNames();
        const double own = MillisecondsSince(start);
        const double view = ViewCatchUp(window);
        std::printf("RemoveDuplicateNames: %d items, %d removed, %.0f ms list + %.0f ms view\n", before, removed, own,
                    view);
    }

    const char* const columns[] = {"Name", "Information", "Size", "Full file name", "Out file name"};
    for (int pass = 0; pass < 2; ++pass) {
        for (int column = 0; column < kelvra::kFileListColumnCount; ++column) {
            const auto start = Clock::now();
            list->lvFilesColumnClick(column);
            const double own = MillisecondsSince(start);
            const double view = ViewCatchUp(window);
            std::printf("sort by %-15s %-10s %.0f ms list + %.0f ms view\n", columns[column],
                        window.SortAscending ? "ascending" : "descending", own, view);
        }
    }

    {
        list->mniSelectAllClick();
        ViewCatchUp(window);
        const auto start = Clock::now();
        list->lvFilesColumnClick(kelvra::kColumnSize);
        const double own = MillisecondsSince(start);
        const double view = ViewCatchUp(window);
        std::printf("sort by Size with every item selected: %.0f ms list + %.0f ms view\n", own, view);
    }
    return 0;
}
