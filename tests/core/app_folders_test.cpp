// The program's own folder, the same on every system: learned from the
// running program, never from the current folder.

#include "core/app_folders.h"

#include "core/paths.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(AppFolderFile, NamesAFileBesideTheRunningProgramWhateverTheCurrentFolder)
{
    const std::string exe = test::RunningProgramPath();
    const std::string expected = exe.substr(0, exe.find_last_of(test::PathDelimiter()) + 1) + "ebook.exe";

    test::TempDir elsewhere;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    const std::string found = AppFolderFile("ebook.exe");
    std::filesystem::current_path(before);

    EXPECT_EQ(found, expected);
    EXPECT_EQ(ApplicationFileName(), exe);
    EXPECT_EQ(ExtractFileName(found), "ebook.exe");
}

} // namespace
} // namespace kelvra
