// ebook.exe as the front ends start it: a real process, real files.

#include "converter/converter_app.h"
#include "converter/source_file.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kelvra::test {
namespace {

TEST(EbookProgram, ConvertsTextToEpubAtExactlyTheGivenPath)
{
    TempDir folder;
    const std::string input = folder.File("My Book.txt");
    WriteFile(input, ChapteredText(3, 2));
    const std::string output = folder.File("out.epub");

    const ProgramRun run = RunEbookExe({input, output, "--no-default-epub-cover"});

    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_EQ(run.errorOutput, "");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"My Book.txt", "out.epub"})) << "no temporary file stays";
    const std::vector<ZipEntry> entries = ReadZip(output);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, "mimetype");
    EXPECT_TRUE(entries[0].stored);
    EXPECT_EQ(entries[0].content, "application/epub+zip");
    EXPECT_NE(EntryText(entries, "OEBPS/content.opf").find("<dc:title>My Book</dc:title>"), std::string::npos);
    EXPECT_EQ(EntryText(entries, "OEBPS/text/cover.xhtml"), "") << "no cover is made up";
}

TEST(EbookProgram, ReplacesAnEarlierOutputOnSuccess)
{
    TempDir folder;
    WriteFile(folder.File("in.txt"), "Only text.\n");
    WriteFile(folder.File("out.epub"), "old content");
    ASSERT_EQ(RunEbookExe({folder.File("in.txt"), folder.File("out.epub")}).exitCode, 0);
    EXPECT_EQ(ReadZip(folder.File("out.epub")).at(0).name, "mimetype");
}

TEST(EbookProgram, NamesWithBlanksQuotesAndLeadingDashPassIntact)
{
    TempDir folder;
    const std::string input = folder.File("-odd \"name\" $x; a.txt");
    WriteFile(input, "Some words.\n");
    const std::string output = folder.File("-out 'quoted'.epub");
    const ProgramRun run = RunEbookExe({input, output});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    EXPECT_EQ(ReadZip(output).at(0).content, "application/epub+zip");
}

TEST(EbookProgram, HelpAndVersionPrintWithoutConverting)
{
    TempDir folder;
    WriteFile(folder.File("in.txt"), "Text.\n");
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunConverter({folder.File("in.txt"), folder.File("out.epub"), option}, out, err, nullptr), 0);
        EXPECT_NE(out.str().find(option == std::string("--help") ? "Usage: ebook.exe INPUT OUTPUT.epub" : "ebook.exe "),
                  std::string::npos)
            << out.str();
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"in.txt"});
    }
    EXPECT_EQ(RunEbookExe({"--version"}).exitCode, 0);
}

TEST(EbookProgram, EnormousInputIsRefusedBeforeReading)
{
    TempDir folder;
    const std::string input = folder.File("huge.txt");
    WriteFile(input, "x");
    std::filesystem::resize_file(input, kMaxInputBytes + 1); // sparse: no disk space used
    const ProgramRun run = RunEbookExe({input, folder.File("out.epub")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errorOutput.find("too large"), std::string::npos) << run.errorOutput;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"huge.txt"});
}

// Every refusal: a non-zero exit, exactly one line on standard error, nothing
// new in the folder, and an earlier file at the output path left as it was.
TEST(EbookProgram, RefusalsLeaveNothingAtTheOutputPath)
{
    struct Case {
        const char* name;
        const char* inputName;   ///< created with `inputBytes` unless null
        std::string inputBytes;
        const char* outputName;  ///< relative to the folder
        int arguments;           ///< 0: none, 1: input only, 2: input and output, 3: plus a stray one
        const char* messagePart;
        int exitCode;
    };
    const Case cases[] = {
        {"missing input", nullptr, "", "out.epub", 2, "does not exist", 1},
        {"empty input", "empty.txt", "", "out.epub", 2, "is empty", 1},
        {"only blank lines", "blank.txt", "\n \n\t\n", "out.epub", 2, "empty", 1},
        {"output folder missing", "in.txt", "Text.\n", "no-such-folder/out.epub", 2, "does not exist", 1},
        {"no arguments", nullptr, "", "out.epub", 0, "expected an input file and an output file", 2},
        {"input only", "in.txt", "Text.\n", "out.epub", 1, "expected an input file and an output file", 2},
        {"a third file argument", "in.txt", "Text.\n", "out.epub", 3, "got 3", 2},
        {"binary input, no hand-over", "image.txt", std::string("\x01\x02\x03\x04\x00\x10", 6), "out.epub", 2,
         "unknown input not converted", 1},
    };
    // An empty PATH keeps any installed ebook-convert out of this test.
    const ScopedEnv noPath("PATH", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        const std::string input = folder.File(c.inputName ? c.inputName : "missing.txt");
        if (c.inputName)
            WriteFile(input, c.inputBytes);
        const std::vector<std::string> before = folder.Names();
        std::vector<std::string> arguments;
        if (c.arguments >= 1)
            arguments.push_back(input);
        if (c.arguments >= 2)
            arguments.push_back(folder.File(c.outputName));
        if (c.arguments >= 3)
            arguments.push_back(folder.File("stray.epub"));

        const ProgramRun run = RunEbookExe(arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.errorOutput.find(c.messagePart), std::string::npos) << run.errorOutput;
        EXPECT_EQ(run.errorOutput.find('\n'), run.errorOutput.size() - 1) << "one line: " << run.errorOutput;
        EXPECT_EQ(folder.Names(), before);
    }
}

TEST(EbookProgram, NeverWritesOverItsInput)
{
    TempDir folder;
    WriteFile(folder.File("book.txt"), "Precious text.\n");
    const ProgramRun run = RunEbookExe({folder.File("book.txt"), folder.path() + "/./book.txt"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errorOutput.find("names the input file"), std::string::npos) << run.errorOutput;
    EXPECT_EQ(ReadFile(folder.File("book.txt")), "Precious text.\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"book.txt"});
}

TEST(EbookProgram, FailureKeepsAnEarlierEpubUntouched)
{
    TempDir folder;
    WriteFile(folder.File("empty.txt"), "");
    WriteFile(folder.File("out.epub"), "earlier book");
    EXPECT_NE(RunEbookExe({folder.File("empty.txt"), folder.File("out.epub")}).exitCode, 0);
    EXPECT_EQ(ReadFile(folder.File("out.epub")), "earlier book");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"empty.txt", "out.epub"}));
}

} // namespace
} // namespace kelvra::test
