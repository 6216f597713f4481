// The documents folder as POSIX desktops name it: the user-dirs file of the
// XDG configuration, else ~/Documents.

#include "core/app_folders.h"

#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(DocumentsFolder, FollowsUserDirsThenFallsBackToHomeDocuments)
{
    test::TempDir home;
    test::ScopedEnv homeVar("HOME", home.path());
    test::ScopedEnv configVar("XDG_CONFIG_HOME", home.File("config"));

    EXPECT_EQ(DocumentsFolder(), home.path() + "/Documents/");

    std::filesystem::create_directories(home.File("config"));
    test::WriteFile(home.File("config/user-dirs.dirs"),
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    EXPECT_EQ(DocumentsFolder(), home.path() + "/Papiere/");

    test::ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(DocumentsFolder(), "");
}

} // namespace
} // namespace kelvra
