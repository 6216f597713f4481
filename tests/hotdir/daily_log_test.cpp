#include "hotdir/daily_log.h"

#include "tests/hotdir/hotdir_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kelvra {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteFile;

TEST(DailyLog, EntriesByteForByte)
{
    EXPECT_EQ(StartLogEntry("9:05:01 AM", "/in/book.pdf"), "Start: [9:05:01 AM]\r\nExcute File: /in/book.pdf");
    EXPECT_EQ(ResultLogEntry("/out/book.epub", true, "9:05:07 AM"),
              "Save to: /out/book.epub [Success]\r\nFinish: [9:05:07 AM]");
    EXPECT_EQ(ResultLogEntry("/out/book.epub", false, "9:05:07 AM"),
              "Save to: /out/book.epub [Failed]\r\nFinish: [9:05:07 AM]");
    EXPECT_EQ(DailyLogPath("/logs", "24-03-15"), "/logs/24-03-15.log");
    EXPECT_EQ(DailyLogPath("/logs/", "24-03-15"), "/logs/24-03-15.log");
}

ino_t InodeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

TEST(DailyLog, AppendsInPlaceWhenTheFileEndsWithCrLf)
{
    TempFolder temp;
    const std::string log = temp / "24-03-15.log";
    AppendLogText("first\r\nline", log); // created when missing
    EXPECT_EQ(ReadText(log), "first\r\nline\r\n");
    const ino_t inode = InodeOf(log);
    AppendLogText("second", log);
    EXPECT_EQ(ReadText(log), "first\r\nline\r\nsecond\r\n");
    EXPECT_EQ(InodeOf(log), inode) << "rewritten instead of appended";
}

TEST(DailyLog, OtherEndingsAreRewrittenAsCrLfLines)
{
    struct Case {
        const char* name;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"empty_file", "", "new\r\n"},
        {"unfinished_last_line", "a\r\nb", "a\r\nb\r\nnew\r\n"},
        {"lf_lines", "a\nb\n", "a\r\nb\r\nnew\r\n"},
        {"cr_lines", "a\rb\r", "a\r\nb\r\nnew\r\n"},
        {"mixed", "a\r\n\nb\rc", "a\r\n\r\nb\r\nc\r\nnew\r\n"},
        {"lone_lf_at_end_after_crlf", "a\r\n\n", "a\r\n\r\nnew\r\n"},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string log = temp / (std::string(c.name) + ".log");
        WriteFile(log, c.before);
        AppendLogText("new", log);
        EXPECT_EQ(ReadText(log), c.after);
    }
}

TEST(DailyLog, MissingFolderIsAnErrorNamingTheFile)
{
    TempFolder temp;
    const std::string log = temp / "gone/24-03-15.log";
    try {
        AppendLogText("x", log);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(log), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(temp / "gone"));
}

} // namespace
} // namespace kelvra
