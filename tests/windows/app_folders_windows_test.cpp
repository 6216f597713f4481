// The program's own folder and the documents folder as Windows names them.

#include "core/app_folders.h"

#include "core/paths.h"
#include "tests/support/test_files.h"

#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(AppFolderFile, NamesAFileBesideTheRunningProgramWhateverTheCurrentFolder)
{
    char own[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, own, MAX_PATH), 0u);
    const std::string exe = own;
    const std::string expected = exe.substr(0, exe.find_last_of('\\') + 1) + "ebook.exe";

    test::TempDir elsewhere;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    const std::string found = AppFolderFile("ebook.exe");
    std::filesystem::current_path(before);

    EXPECT_EQ(found, expected);
    EXPECT_EQ(ApplicationFileName(), exe);
    EXPECT_EQ(ExtractFileName(found, PathStyle::Windows), "ebook.exe");
}

TEST(DocumentsFolder, IsTheShellsPersonalFolderWithOneTrailingBackslash)
{
    char personal[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, personal, CSIDL_PERSONAL, FALSE));
    const std::string folder = DocumentsFolder();
    EXPECT_EQ(folder, AddTrailingBackslash(personal, PathStyle::Windows));
    ASSERT_GE(folder.size(), 2u);
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(folder[folder.size() - 2], '\\');
}

} // namespace
} // namespace kelvra
