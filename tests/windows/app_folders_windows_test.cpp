// The documents folder as Windows names it. The program's own folder is
// tested for every system in tests/core/app_folders_test.cpp.

#include "core/app_folders.h"

#include "core/paths.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

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
