#include "core/shell.h"

#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(BrowseForFolder, MissingStartFolderIsClearedBeforeThePickerOpens)
{
    test::RecordingFolderPicker picker;
    std::string folder = "/no/such/folder";
    EXPECT_FALSE(BrowseForFolder(picker, "Pick the output folder", folder));
    EXPECT_EQ(folder, "");
    ASSERT_EQ(picker.requests.size(), 1u);
    EXPECT_EQ(picker.requests[0].title, "Pick the output folder");
    EXPECT_EQ(picker.requests[0].startFolder, "");
}

TEST(BrowseForFolder, ExistingFolderIsPreselectedAndKeptOnCancel)
{
    test::TempDir dir;
    test::RecordingFolderPicker picker;
    std::string folder = dir.path();
    EXPECT_FALSE(BrowseForFolder(picker, "t", folder));
    EXPECT_EQ(folder, dir.path());
    ASSERT_EQ(picker.requests.size(), 1u);
    EXPECT_EQ(picker.requests[0].startFolder, dir.path());
}

TEST(BrowseForFolder, ConfirmedFolderReplacesTheArgument)
{
    test::TempDir dir;
    test::RecordingFolderPicker picker;
    picker.answer = "/chosen";
    std::string folder = dir.path();
    EXPECT_TRUE(BrowseForFolder(picker, "t", folder));
    EXPECT_EQ(folder, "/chosen");
}

} // namespace
} // namespace kelvra
