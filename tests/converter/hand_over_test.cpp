// The hand-over to ebook-convert, with a fake ebook-convert placed first on
// the PATH: which inputs go to it, what it receives, and how its failures end.

#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvra::test {
namespace {

/// A fake ebook-convert that records its arguments, one per line, and then
/// writes an EPUB (a copy of a real one), fails with a message, writes a file
/// that is no EPUB, writes nothing, or sleeps, as `mode` says. While the
/// object lives, its folder comes first on the PATH.
class FakeEbookConvert {
public:
    explicit FakeEbookConvert(const std::string& mode)
        : m_mode(std::in_place, "FAKE_MODE", mode)
    {
        std::filesystem::create_directories(m_folder.File("bin"));
        const std::string script = m_folder.File("bin/ebook-convert");
        WriteFile(script, "#!/bin/sh\n"
                          "printf '%s\\n' \"$@\" > \"$FAKE_LOG\"\n"
                          "case \"$FAKE_MODE\" in\n"
                          "  write) cp \"$FAKE_EPUB\" \"$2\" ;;\n"
                          "  garbage) printf 'not an EPUB' > \"$2\" ;;\n"
                          "  fail) echo 'progress line' >&2; echo 'Conversion error: damaged book' >&2; exit 3 ;;\n"
                          "  nothing) exit 0 ;;\n"
                          "  sleep) sleep 30 ;;\n"
                          "esac\n");
        chmod(script.c_str(), 0755);
        // The EPUB the fake hands back: one of our own, made from a text.
        WriteFile(m_folder.File("source.txt"), "Made by the fake.\n");
        const ProgramRun run = RunEbookExe({m_folder.File("source.txt"), EpubPath()});
        EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
        m_environment.emplace_back(std::make_unique<ScopedEnv>("PATH", m_folder.File("bin") + ":/usr/bin:/bin"));
        m_environment.emplace_back(std::make_unique<ScopedEnv>("FAKE_LOG", LogPath()));
        m_environment.emplace_back(std::make_unique<ScopedEnv>("FAKE_EPUB", EpubPath()));
    }

    std::string EpubPath() const { return m_folder.File("fake-result.epub"); }
    std::string LogPath() const { return m_folder.File("arguments.log"); }
    void SetMode(const std::string& mode) { m_mode.emplace("FAKE_MODE", mode); }

private:
    TempDir m_folder;
    std::optional<ScopedEnv> m_mode;
    std::vector<std::unique_ptr<ScopedEnv>> m_environment;
};

struct HandOverCase {
    const char* name;
    const char* inputName;
    std::string inputBytes;
    const char* mode;
    int exitCode;
    const char* messagePart; ///< in standard error; empty for success
};

TEST(HandOver, InputsWithoutAReaderGoToEbookConvert)
{
    const HandOverCase cases[] = {
        {"LIT", "book.lit", "ITOLITLS\x01\x00\x00\x00 rest of a lit file", "write", 0, ""},
        {"PDF named .txt", "book.txt", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n", "write", 0, ""},
        {"MOBI", "book.mobi", std::string(60, '\0') + "BOOKMOBI" + std::string(40, '\0'), "write", 0, ""},
        {"FB2 our reader refuses", "book.fb2", "<FictionBook><body><p>cut", "write", 0, ""},
        {"ebook-convert fails", "book.lit", "ITOLITLS", "fail", 1,
         "LIT input not converted: no reader for LIT files; ebook-convert failed: exit status 3: Conversion error: damaged book"},
        {"ebook-convert writes nothing", "book.lit", "ITOLITLS", "nothing", 1, "ebook-convert wrote no EPUB"},
        {"ebook-convert writes no EPUB", "book.lit", "ITOLITLS", "garbage", 1, "ebook-convert wrote a file that is not an EPUB"},
    };
    FakeEbookConvert fake("write");
    for (const HandOverCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        const std::string input = folder.File(c.inputName);
        WriteFile(input, c.inputBytes);
        const std::string output = folder.File("out.epub");
        fake.SetMode(c.mode);

        const ProgramRun run = RunEbookExe({input, output});

        EXPECT_EQ(run.exitCode, c.exitCode) << run.errorOutput;
        EXPECT_NE(run.errorOutput.find(c.messagePart), std::string::npos) << run.errorOutput;
        // The fake got the input, a temporary EPUB beside the output, and the option.
        const std::string arguments = ReadFile(fake.LogPath()).value_or("");
        const std::string prefix = input + "\n" + folder.File(".ebook-");
        EXPECT_EQ(arguments.rfind(prefix, 0), 0u) << arguments;
        EXPECT_NE(arguments.find(".epub\n--no-default-epub-cover\n"), std::string::npos) << arguments;
        if (c.exitCode == 0) {
            EXPECT_EQ(ReadFile(output), ReadFile(fake.EpubPath()));
            EXPECT_EQ(folder.Names(), (std::vector<std::string>{c.inputName, "out.epub"}));
        } else {
            EXPECT_EQ(folder.Names(), std::vector<std::string>{c.inputName}) << "nothing at the output path";
        }
    }
}

TEST(HandOver, OurReadersNeverHandOver)
{
    FakeEbookConvert fake("write");
    TempDir folder;
    for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"a.txt", "Text."},
                                      {"b.fb2", SampleFb2()}, {"c.rtf", SampleRtf()}}) {
        SCOPED_TRACE(name);
        WriteFile(folder.File(name), bytes);
        ASSERT_EQ(RunEbookExe({folder.File(name), folder.File(name + ".epub")}).exitCode, 0);
        EXPECT_EQ(ReadZip(folder.File(name + ".epub")).at(0).name, "mimetype");
    }
    EXPECT_FALSE(std::filesystem::exists(fake.LogPath())) << "ebook-convert was started";
}

TEST(HandOver, AnInterruptLeavesNoTemporaryFile)
{
    FakeEbookConvert fake("sleep");
    TempDir folder;
    const std::string input = folder.File("book.lit");
    WriteFile(input, "ITOLITLS");
    const std::string output = folder.File("out.epub");

    // ebook.exe and the fake in a process group of their own, as a terminal would signal them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv{const_cast<char*>(KELVRA_EBOOK_EXE), const_cast<char*>(input.c_str()),
                            const_cast<char*>(output.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, KELVRA_EBOOK_EXE, nullptr, &attributes, argv.data(), environ), 0);
    posix_spawnattr_destroy(&attributes);

    // The fake writes its log once it runs; the temporary file exists by then.
    for (int i = 0; i < 1000 && !std::filesystem::exists(fake.LogPath()); ++i)
        usleep(10000);
    EXPECT_EQ(folder.Names().size(), 2u) << "the temporary file is there while the hand-over runs";
    kill(-pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"book.lit"});
}

TEST(HandOver, WithoutEbookConvertTheInputIsRefusedClearly)
{
    const ScopedEnv path("PATH", "/nonexistent");
    TempDir folder;
    WriteFile(folder.File("book.lit"), "ITOLITLS");
    const ProgramRun run = RunEbookExe({folder.File("book.lit"), folder.File("out.epub")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errorOutput, "ebook.exe: LIT input not converted: no reader for LIT files\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"book.lit"});
}

} // namespace
} // namespace kelvra::test
