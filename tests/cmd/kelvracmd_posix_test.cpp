// kelvracmd on POSIX systems: names no Windows file system allows (line
// breaks, backslashes, quotes) and paths far beyond MAX_PATH reach the
// converter whole.

#include "tests/cmd/kelvracmd_fixture.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::WriteFile;

TEST_F(Kelvracmd, HostileNamesReachTheConverterUnchanged)
{
    const char* names[] = {
        "with  blanks",     "double\"quote",    "dollar $HOME $(id)", "semi;colon;ls",    R"(back\slash\)",
        "-dash first",     "new\nline",        "'single'&|<>`*",    "ümlaut",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        // Relative names, so that each argument starts with the hostile text.
        // (A name starting with -L, -V, -X or -Y would count as that switch.)
        const std::string input = std::string(name) + ".txt";
        const std::string output = "./" + std::string(name) + ".epub";
        WriteFile(m_work.File(input), "text");

        const test::ProgramResult result = Run({input, output});

        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "Convert to: " + output + " [Success]\r\n");
        EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{input, output}));
    }
}

TEST_F(Kelvracmd, LongNamesPassWhole)
{
    const std::string folder = test::CreateDeepFolder(m_work.path(), 4, 200);
    const std::string input = folder + "/" + std::string(200, 'i') + ".txt";
    const std::string output = folder + "/" + std::string(200, 'o') + ".epub";
    WriteFile(input, "text");

    const test::ProgramResult result = Run({input, output});

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, "Convert to: " + output + " [Success]\r\n");
    EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{input, output}));
}

} // namespace
} // namespace kelvra
