// RunAndWait on Windows: CreateProcessA with the command-line text itself,
// started with the Windows fake converter as a real process.

#include "platform/process.h"

#include "core/converter_invocation.h"
#include "tests/support/test_files.h"

#include <windows.h>

#include <chrono>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::ScopedEnv;
using test::TempDir;

ProcessCommand Fake(std::string parameterText = {})
{
    return {test::FakeConverterPath(), std::move(parameterText), {}};
}

TEST(SystemProcessRunner, ReportsTheExitCodeAndACrashStatus)
{
    {
        ScopedEnv code("KELVRA_FAKE_EXIT_CODE", std::string("7"));
        const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(Fake());
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(outcome.exitCode, 7);
        EXPECT_EQ(outcome.signal, 0);
    }
    {
        ScopedEnv crash("KELVRA_FAKE_SIGNAL", std::string("1"));
        const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(Fake());
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(static_cast<DWORD>(outcome.exitCode), 0xC0000005u);
    }
}

TEST(SystemProcessRunner, TheProgramReceivesTheCommandLineTextByteForByte)
{
    TempDir dir;
    ScopedEnv commandLine("KELVRA_FAKE_COMMAND_LINE_FILE", dir.File("command line"));
    ScopedEnv arguments("KELVRA_FAKE_ARGS_FILE", dir.File("args"));
    ScopedEnv write("KELVRA_FAKE_WRITE", std::string("none"));
    const ProcessCommand command = ConverterCommand(test::FakeConverterPath(), R"(D:\books\Alice in Wonderland.mobi)",
                                                    R"(E:\out\Alice in Wonderland\Alice in Wonderland.epub)");

    const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(command);

    ASSERT_TRUE(outcome.started);
    // Program path, three blanks, the quoted paths two blanks apart, the
    // option and one trailing blank: nothing added, nothing cut.
    EXPECT_EQ(test::ReadFile(dir.File("command line")), command.CommandLine());
    EXPECT_EQ(test::ReadRecordedArguments(dir.File("args")),
              (std::vector<std::string>{R"(D:\books\Alice in Wonderland.mobi)",
                                        R"(E:\out\Alice in Wonderland\Alice in Wonderland.epub)",
                                        "--no-default-epub-cover"}));
}

TEST(SystemProcessRunner, CommandLinesBeyond512CharactersPassWhole)
{
    TempDir dir;
    ScopedEnv commandLine("KELVRA_FAKE_COMMAND_LINE_FILE", dir.File("command line"));
    ScopedEnv write("KELVRA_FAKE_WRITE", std::string("none"));
    const ProcessCommand command =
        ConverterCommand(test::FakeConverterPath(), "C:\\in\\" + std::string(600, 'i') + ".txt",
                         "C:\\out\\" + std::string(600, 'o') + ".epub");
    ASSERT_GT(command.CommandLine().size(), 1200u);

    ASSERT_TRUE(SystemProcessRunner().RunAndWait(command).started);
    EXPECT_EQ(test::ReadFile(dir.File("command line")), command.CommandLine());
}

TEST(SystemProcessRunner, WaitsForTheEndOfTheProgram)
{
    ScopedEnv sleep("KELVRA_FAKE_SLEEP_MS", std::string("400"));
    ScopedEnv code("KELVRA_FAKE_EXIT_CODE", std::string("5"));
    const auto start = std::chrono::steady_clock::now();
    const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(Fake());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(outcome.exitCode, 5);
}

TEST(SystemProcessRunner, ProgramsThatCannotStartReturnAtOnce)
{
    TempDir dir;
    test::WriteFile(dir.File("garbage.exe"), "MZ nonsense");
    const std::string programs[] = {dir.File("missing.exe"), dir.File("garbage.exe"), dir.path(), ""};
    for (const std::string& program : programs) {
        SCOPED_TRACE(program);
        EXPECT_FALSE(SystemProcessRunner().RunAndWait({program, "  \"a\"", {"a"}}).started);
    }
}

} // namespace
} // namespace kelvra
