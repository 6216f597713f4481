#include "platform/process.h"

#include "tests/support/test_files.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace kelvra {
namespace {

using test::ScopedEnv;
using test::TempDir;

ProcessCommand FakeWith(std::vector<std::string> arguments)
{
    return {test::FakeConverterPath(), "", std::move(arguments)};
}

TEST(SystemProcessRunner, ReportsHowTheProgramEnded)
{
    {
        ScopedEnv code("KELVRA_FAKE_EXIT_CODE", std::string("7"));
        const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(FakeWith({}));
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(outcome.exitCode, 7);
        EXPECT_EQ(outcome.signal, 0);
    }
    {
        ScopedEnv crash("KELVRA_FAKE_SIGNAL", std::to_string(SIGSEGV));
        const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(FakeWith({}));
        EXPECT_TRUE(outcome.started);
        EXPECT_EQ(outcome.exitCode, -1);
        EXPECT_EQ(outcome.signal, SIGSEGV);
    }
}

TEST(SystemProcessRunner, ProgramsThatCannotStartReturnAtOnce)
{
    TempDir dir;
    test::WriteFile(dir.File("not-executable"), "#!/bin/sh\n");
    test::WriteFile(dir.File("garbage"), "\x7f" "ELF nonsense");
    chmod(dir.File("garbage").c_str(), 0755);
    const std::string programs[] = {dir.File("missing"), dir.File("not-executable"), dir.File("garbage"), dir.path(), ""};
    for (const std::string& program : programs) {
        SCOPED_TRACE(program);
        EXPECT_FALSE(SystemProcessRunner().RunAndWait({program, "", {"a"}}).started);
    }
}

TEST(SystemProcessRunner, ProgramGetsNullStreamsAndNoInheritedDescriptors)
{
    TempDir dir;
    ScopedEnv fds("KELVRA_FAKE_FDS_FILE", dir.File("fds"));
    // A descriptor the caller did not mark close-on-exec, like a lock file.
    const int leaked = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(leaked, 0);
    const ProcessOutcome outcome = SystemProcessRunner().RunAndWait(FakeWith({}));
    close(leaked);
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ(test::ReadFile(dir.File("fds")), "/dev/null\n/dev/null\n/dev/null\nopen:\n");
}

extern "C" void IgnoreAlarm(int) {}

TEST(SystemProcessRunner, WaitSurvivesInterruptingSignals)
{
    // Alarms without SA_RESTART interrupt the wait every 20 ms while the
    // program sleeps 300 ms; the runner must keep waiting for the real end.
    struct sigaction action {};
    action.sa_handler = IgnoreAlarm;
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval timer{{0, 20000}, {0, 20000}};
    setitimer(ITIMER_REAL, &timer, nullptr);

    ScopedEnv sleep("KELVRA_FAKE_SLEEP_MS", std::string("300"));
    ScopedEnv code("KELVRA_FAKE_EXIT_CODE", std::string("5"));
    ProcessOutcome outcome;
    EXPECT_NO_THROW(outcome = SystemProcessRunner().RunAndWait(FakeWith({})));

    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 5);
}

} // namespace
} // namespace kelvra
