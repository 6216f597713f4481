// kelvracmd.exe run as a real Windows program, with the Windows fake
// converter copied beside it as "ebook.exe": the command line the converter
// receives, byte for byte. The cases that hold on every system are in
// tests/cmd/kelvracmd_test.cpp.

#include "platform/file_system.h"
#include "tests/cmd/kelvracmd_fixture.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

// The fake converter also writes the command line as the system passed it.
class KelvracmdCommandLine : public Kelvracmd {
protected:
    std::optional<std::string> ConverterCommandLine() const { return test::ReadFile(m_record.File("command line")); }

    test::ScopedEnv m_commandLineFile{"KELVRA_FAKE_COMMAND_LINE_FILE", m_record.File("command line")};
};

TEST_F(KelvracmdCommandLine, TheConverterReceivesTheExactCommandLine)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"relative_input", {"in.txt", R"({W}\out.epub)"}},
        {"options_not_passed_on", {"in.txt", R"({W}\out.epub)", "-L5", "-v2", "-X$10", "-Y0x10"}},
        {"blanks_in_names", {"in.txt", R"({W}\my book.epub)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = Expand(c.arguments[1]);
        std::remove(m_record.File("command line").c_str());
        const test::ProgramResult result = Run(c.arguments);

        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "Convert to: " + output + " [Success]\r\n");
        // The converter's path unquoted, then two blanks, the quoted input,
        // three blanks and the quoted output.
        EXPECT_EQ(ConverterCommandLine(), m_programs.File("ebook.exe") + "  \"in.txt\"   \"" + output + "\"");
        EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{"in.txt", output}));
        EXPECT_GT(FileSizeByOpen(output), 0);
    }
}

} // namespace
} // namespace kelvra
