#include "core/converter_invocation.h"

#include "platform/file_system.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace kelvra {
namespace {

using test::ReadRecordedArguments;
using test::RecordingProcessRunner;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

TEST(ExpectedEpubPath, SubFolderNamedAfterTheInputsBaseName)
{
    struct Case {
        const char* name;
        PathStyle style;
        const char* input;
        const char* nominal;
        const char* folder;
        const char* epub;
    };
    const Case cases[] = {
        {"example", PathStyle::Windows, R"(D:\books\Alice.mobi)", R"(E:\out\Alice.epub)", R"(E:\out\Alice\)",
         R"(E:\out\Alice\Alice.epub)"},
        {"dotted_base", PathStyle::Windows, R"(C:\a\b.c.pdf)", R"(C:\o\b.c.epub)", R"(C:\o\b.c\)",
         R"(C:\o\b.c\b.c.epub)"},
        {"empty_base", PathStyle::Windows, R"(C:\a\.azw3)", R"(C:\o\x.epub)", R"(C:\o\\)", R"(C:\o\\.epub)"},
        {"nominal_name_ignored", PathStyle::Windows, R"(C:\a\book.txt)", R"(C:\o\other.epub)", R"(C:\o\book\)",
         R"(C:\o\book\book.epub)"},
        {"posix", PathStyle::Posix, "/books/my book.fb2", "/out/my book.epub", "/out/my book/",
         "/out/my book/my book.epub"},
        {"posix_backslash_in_name", PathStyle::Posix, R"(/in/a\b.txt)", "/out/x.epub", R"(/out/a\b/)",
         R"(/out/a\b/a\b.epub)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OutputFolderFor(c.nominal, c.input, c.style), c.folder);
        EXPECT_EQ(ExpectedEpubPath(c.nominal, c.input, c.style), c.epub);
    }
}

TEST(ConverterCommand, ExactTextAndTheArgumentsItDenotes)
{
    const ProcessCommand command =
        ConverterCommand(R"(C:\Kelvra\ebook.exe)", R"(D:\books\Alice.mobi)", R"(E:\out\Alice\Alice.epub)");
    EXPECT_EQ(command.program, R"(C:\Kelvra\ebook.exe)");
    EXPECT_EQ(command.parameterText, R"(  "D:\books\Alice.mobi"  "E:\out\Alice\Alice.epub" --no-default-epub-cover )");
    EXPECT_EQ(command.CommandLine(),
              R"(C:\Kelvra\ebook.exe   "D:\books\Alice.mobi"  "E:\out\Alice\Alice.epub" --no-default-epub-cover )");
    EXPECT_EQ(command.arguments,
              (std::vector<std::string>{R"(D:\books\Alice.mobi)", R"(E:\out\Alice\Alice.epub)", "--no-default-epub-cover"}));
}

TEST(ConverterCommand, LongNamesAreNeitherCutNorRefused)
{
    const std::string input = "/in/" + std::string(700, 'a') + ".pdf";
    const std::string epub = "/out/" + std::string(700, 'b') + ".epub";
    const ProcessCommand command = ConverterCommand("/k/ebook.exe", input, epub);
    EXPECT_EQ(command.CommandLine(), "/k/ebook.exe   \"" + input + "\"  \"" + epub + "\" --no-default-epub-cover ");
    EXPECT_EQ(command.arguments[0], input);
    EXPECT_EQ(command.arguments[1], epub);
}

// ConvertOneFile against a recording runner in a real temporary folder.
class ConvertOneFileTest : public ::testing::Test {
protected:
    struct Report {
        std::string nominal;
        std::string message;
    };

    void Convert(const std::string& input, const std::string& nominal)
    {
        ConvertOneFile(input, nominal, [this](const std::string& n, const std::string& m) { m_reports.push_back({n, m}); },
                       ConverterProgram{"/k/ebook.exe", &m_runner});
    }

    TempDir m_dir;
    RecordingProcessRunner m_runner;
    std::vector<Report> m_reports;
};

TEST_F(ConvertOneFileTest, CreatesTheOutputFolderThenRunsTheConverterOnce)
{
    const std::string input = m_dir.File("Alice.mobi");
    const std::string nominal = m_dir.File("out/deeper/Alice.epub");
    bool folderExistedAtStart = false;
    m_runner.onRun = [&](const ProcessCommand&) { folderExistedAtStart = DirectoryExists(m_dir.File("out/deeper/Alice")); };

    Convert(input, nominal);

    EXPECT_TRUE(folderExistedAtStart);
    ASSERT_EQ(m_runner.commands.size(), 1u);
    EXPECT_EQ(m_runner.commands[0].CommandLine(),
              "/k/ebook.exe   \"" + input + "\"  \"" + m_dir.File("out/deeper/Alice/Alice.epub") +
                  "\" --no-default-epub-cover ");
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(ConvertOneFileTest, WithoutAnErrorNothingIsDeleted)
{
    const std::string nominal = m_dir.File("Alice.epub");
    WriteFile(nominal, "");
    Convert(m_dir.File("Alice.txt"), nominal);
    EXPECT_TRUE(FileExists(nominal));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(ConvertOneFileTest, AnErrorIsReportedAndOnlyAnEmptyNominalFileRemoved)
{
    struct Case {
        const char* name;
        const char* nominalContent; // nullptr: no file there
        bool keptAfterwards;
    };
    const Case cases[] = {
        {"empty_file_removed", "", false},
        {"file_with_content_kept", "user data", true},
        {"missing_file_left_alone", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_reports.clear();
        const std::string nominal = m_dir.File(std::string(c.name) + ".epub");
        const std::string input = m_dir.File(std::string(c.name) + ".txt");
        if (c.nominalContent)
            WriteFile(nominal, c.nominalContent);
        // An empty EPUB at the expected path is the caller's business.
        ASSERT_TRUE(ForceDirectories(OutputFolderFor(nominal, input)));
        WriteFile(ExpectedEpubPath(nominal, input), "");
        m_runner.onRun = [](const ProcessCommand&) { throw std::runtime_error("Out of system resources"); };

        Convert(input, nominal);

        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_EQ(m_reports[0].nominal, nominal);
        EXPECT_EQ(m_reports[0].message, "Out of system resources");
        EXPECT_EQ(FileExists(nominal), c.keptAfterwards);
        EXPECT_TRUE(FileExists(ExpectedEpubPath(nominal, input)));
    }
}

TEST_F(ConvertOneFileTest, AFailingReportStillRemovesTheEmptyFile)
{
    const std::string nominal = m_dir.File("a.epub");
    WriteFile(nominal, "");
    m_runner.onRun = [](const ProcessCommand&) { throw std::runtime_error("first"); };
    EXPECT_THROW(ConvertOneFile(m_dir.File("a.txt"), nominal,
                                [](const std::string&, const std::string&) { throw std::runtime_error("report"); },
                                ConverterProgram{"/k/ebook.exe", &m_runner}),
                 std::runtime_error);
    EXPECT_FALSE(FileExists(nominal));
}

// ConvertOneFile starting the fake converter as a real process.
class ConvertOneFileEndToEnd : public ::testing::Test {
protected:
    ConverterProgram Fake() const { return {test::FakeConverterPath(), &SystemProcessRunner()}; }

    std::vector<std::string> m_reported;
    ConversionFailureReport Report()
    {
        return [this](const std::string&, const std::string& message) { m_reported.push_back(message); };
    }

    TempDir m_dir;
    ScopedEnv m_argsFile{"KELVRA_FAKE_ARGS_FILE", m_dir.File("args")};
};

TEST_F(ConvertOneFileEndToEnd, HostileNamesArriveAsSingleUnchangedArguments)
{
    const char* names[] = {
        "with blanks  twice", "double\"quote\"s", "dollar $HOME and $(id)", "semi;colon; rm -rf x",
        R"(back\slash\\)",    "-leading-dash",    "new\nline",             "'single' & <angle> |pipe| `tick`",
        "  leading blanks",   "ümlaut äöü",
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        // Windows file names cannot hold these characters at all.
        if (kHostPathStyle == PathStyle::Windows &&
            std::string_view(name).find_first_of("\"\n|<>*?\\") != std::string_view::npos)
            continue;
        const std::string input = m_dir.File(std::string(name) + ".txt");
        const std::string nominal = m_dir.File("out/" + std::string(name) + ".epub");
        WriteFile(input, "text");

        ConvertOneFile(input, nominal, Report(), Fake());

        const std::string epub = ExpectedEpubPath(nominal, input);
        EXPECT_EQ(ReadRecordedArguments(m_dir.File("args")),
                  (std::vector<std::string>{input, epub, "--no-default-epub-cover"}));
        EXPECT_GT(FileSizeByOpen(epub), 0);
    }
    EXPECT_TRUE(m_reported.empty());
}

TEST_F(ConvertOneFileEndToEnd, LongPathsPassWhole)
{
    if (kHostPathStyle == PathStyle::Windows)
        GTEST_SKIP() << "the ANSI file functions of Windows stop at MAX_PATH (260 characters)";
    // Well beyond 512 characters, in several folder levels (one name may
    // hold at most 255 bytes).
    const std::string folder = test::CreateDeepFolder(m_dir.path(), 4, 200);
    const std::string input = folder + "/" + std::string(150, 'x') + ".txt";
    const std::string nominal = folder + "/" + std::string(150, 'x') + ".epub";
    WriteFile(input, "text");

    ConvertOneFile(input, nominal, Report(), Fake());

    const std::string epub = ExpectedEpubPath(nominal, input);
    ASSERT_GT(epub.size(), 1000u);
    EXPECT_EQ(ReadRecordedArguments(m_dir.File("args")),
              (std::vector<std::string>{input, epub, "--no-default-epub-cover"}));
    EXPECT_GT(FileSizeByOpen(epub), 0);
}

TEST_F(ConvertOneFileEndToEnd, FailingConvertersLeaveNoEpubAndRaiseNoReport)
{
    for (const test::ConverterFault& c : test::kConverterFaults) {
        SCOPED_TRACE(c.name);
        test::ScopedConverterFault fault(c);
        const std::string input = m_dir.File(std::string(c.name) + ".txt");
        const std::string nominal = m_dir.File(std::string(c.name) + ".epub");
        WriteFile(input, "text");

        ConvertOneFile(input, nominal, Report(), Fake());

        EXPECT_TRUE(ReadRecordedArguments(m_dir.File("args")).has_value());
        EXPECT_FALSE(FileExists(ExpectedEpubPath(nominal, input)));
    }
    EXPECT_TRUE(m_reported.empty());
}

TEST_F(ConvertOneFileEndToEnd, MissingConverterReturnsSilently)
{
    const std::string input = m_dir.File("a.txt");
    WriteFile(input, "text");
    ConvertOneFile(input, m_dir.File("out/a.epub"), Report(), {m_dir.File("no-ebook.exe"), &SystemProcessRunner()});
    EXPECT_TRUE(m_reported.empty());
    EXPECT_FALSE(ReadRecordedArguments(m_dir.File("args")).has_value());
    EXPECT_TRUE(DirectoryExists(m_dir.File("out/a"))); // made before the start was tried
    EXPECT_FALSE(FileExists(m_dir.File("out/a/a.epub")));
}

} // namespace
} // namespace kelvra
