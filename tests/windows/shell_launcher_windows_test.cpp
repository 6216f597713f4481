// The shell launcher through ShellExecuteA, with the Windows fake converter
// as the program the shell starts.

#include "platform/desktop_services.h"

#include "tests/support/test_files.h"

#include <windows.h>

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace kelvra {
namespace {

using namespace std::chrono_literals;

// The shell starts the program and returns at once: wait for its record.
std::optional<std::string> WaitForFile(const std::string& path)
{
    for (int i = 0; i < 500; ++i) {
        if (auto content = test::ReadFile(path); content && !content->empty())
            return content;
        std::this_thread::sleep_for(20ms);
    }
    return std::nullopt;
}

TEST(WindowsShellLauncher, StartsTheProgramWithTheParametersUnchangedInTheApplicationFolder)
{
    test::TempDir record;
    test::TempDir appFolder;
    test::CopyProgram(test::FakeConverterPath(), appFolder.File("helper.exe"));
    test::ScopedEnv commandLine("KELVRA_FAKE_COMMAND_LINE_FILE", record.File("command line"));
    test::ScopedEnv arguments("KELVRA_FAKE_ARGS_FILE", record.File("args"));
    test::ScopedEnv folder("KELVRA_FAKE_FOLDER_FILE", record.File("folder"));
    test::ScopedEnv write("KELVRA_FAKE_WRITE", std::string("none"));

    // A relative file is found in the working folder, the application folder.
    const std::string parameters = " /n,/select, \"C:\\a b\\c.epub\"";
    CreateDesktopLauncher(appFolder.path() + "\\")->LaunchProgram("helper.exe", parameters);

    ASSERT_TRUE(WaitForFile(record.File("folder")).has_value());
    EXPECT_EQ(test::ReadFile(record.File("folder")), appFolder.path());
    ASSERT_TRUE(WaitForFile(record.File("args")).has_value());
    EXPECT_EQ(test::ReadRecordedArguments(record.File("args")),
              (std::vector<std::string>{"/n,/select,", "C:\\a b\\c.epub"}));
    const std::optional<std::string> line = test::ReadFile(record.File("command line"));
    ASSERT_TRUE(line.has_value());
    EXPECT_TRUE(line->ends_with(parameters)) << *line;
}

TEST(WindowsShellLauncher, AFailedLaunchIsSilent)
{
    test::TempDir appFolder;
    EXPECT_NO_THROW(CreateDesktopLauncher(appFolder.path())->LaunchProgram(appFolder.File("missing.exe"), ""));
}

} // namespace
} // namespace kelvra
