#include "cmd/console_converter.h"

#include "platform/file_system.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace kelvra {
namespace {

using test::RecordingProcessRunner;
using test::TempDir;
using test::WriteFile;

TEST(ConsoleConverterCommand, ExactTextAndTheArgumentsItDenotes)
{
    const ProcessCommand command = ConsoleConverterCommand(R"(C:\K\ebook.exe)", R"(D:\in\a b.pdf)", R"(d:\1.epub)");
    EXPECT_EQ(command.parameterText, R"( "D:\in\a b.pdf"   "d:\1.epub")");
    EXPECT_EQ(command.CommandLine(), R"(C:\K\ebook.exe  "D:\in\a b.pdf"   "d:\1.epub")");
    EXPECT_EQ(command.arguments, (std::vector<std::string>{R"(D:\in\a b.pdf)", R"(d:\1.epub)"}));

    const ProcessCommand noOutput = ConsoleConverterCommand("/k/ebook.exe", "/in/a.pdf", "");
    EXPECT_EQ(noOutput.CommandLine(), R"(/k/ebook.exe  "/in/a.pdf"   "")");
    EXPECT_EQ(noOutput.arguments, (std::vector<std::string>{"/in/a.pdf", ""}));
}

TEST(ConsoleUsageText, ByteForByte)
{
    EXPECT_EQ(ConsoleUsageText(),
              "Kelvra Command Line Usage:\r\n"
              "kelvracmd <Input filename> <Output filename> \r\n"
              "Parameters\r\n"
              "<Input filename>:          Input filename.\r\n"
              "<Output filename>:         Output filename.\r\n"
              "Examples:\r\n"
              "  kelvracmd \"D:\\in\\sample1.pdf\" \"d:\\1.epub\" \r\n"
              "  kelvracmd \"D:\\in\\sample1.rtf\" \"d:\\1.epub\" \r\n"
              "  kelvracmd \"D:\\in\\sample1.lit\" \"d:\\1.epub\" \r\n");
}

// The run against a recording runner: what the converter leaves decides.
class ConsoleJudgement : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& arguments)
    {
        m_out.str("");
        m_runner.commands.clear();
        return RunConsoleConverter(arguments, m_out, m_runner, "/k/ebook.exe");
    }

    TempDir m_dir;
    std::string m_input = m_dir.File("in.txt");
    std::string m_output = m_dir.File("out.epub");
    RecordingProcessRunner m_runner;
    std::ostringstream m_out;

    void SetUp() override { WriteFile(m_input, "text"); }
};

TEST_F(ConsoleJudgement, SuccessOnlyForANonEmptyFileUnderTheOutputName)
{
    struct Case {
        const char* name;
        const char* before;  // file under the output name before the run; nullptr: none
        const char* written; // what the converter writes there; nullptr: nothing
        const char* verdict;
    };
    const Case cases[] = {
        {"writes_content", nullptr, "epub", " [Success]"},
        {"writes_empty_file", nullptr, "", " [Failed]"},
        {"writes_nothing", nullptr, nullptr, " [Failed]"},
        {"earlier_output_counts", "old epub", nullptr, " [Success]"},
        {"earlier_empty_file_is_kept", "", nullptr, " [Failed]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(m_output.c_str());
        if (c.before)
            WriteFile(m_output, c.before);
        m_runner.onRun = [&c](const ProcessCommand& command) {
            if (c.written)
                WriteFile(command.arguments[1], c.written);
        };

        EXPECT_EQ(Run({m_input, m_output}), 0);
        EXPECT_EQ(m_out.str(), "Convert to: " + m_output + c.verdict + "\r\n");
        ASSERT_EQ(m_runner.commands.size(), 1u);
        EXPECT_EQ(m_runner.commands[0].CommandLine(), "/k/ebook.exe  \"" + m_input + "\"   \"" + m_output + "\"");
        if (c.before) {
            EXPECT_TRUE(FileExists(m_output)); // never deleted
        }
    }
}

TEST_F(ConsoleJudgement, OnlyAnInputNameRunsWithAnEmptyOutputAndFails)
{
    EXPECT_EQ(Run({m_input}), 0);
    EXPECT_EQ(m_out.str(), "Convert to:  [Failed]\r\n");
    ASSERT_EQ(m_runner.commands.size(), 1u);
    EXPECT_EQ(m_runner.commands[0].arguments, (std::vector<std::string>{m_input, ""}));
}

TEST_F(ConsoleJudgement, AnErrorWhileRunningEndsWith99)
{
    m_runner.onRun = [](const ProcessCommand&) { throw std::runtime_error("waitpid: No child processes"); };
    EXPECT_EQ(Run({m_input, m_output}), 99);
    EXPECT_EQ(m_out.str(), "Unexpected error: waitpid: No child processes.\r\n");
}

} // namespace
} // namespace kelvra
