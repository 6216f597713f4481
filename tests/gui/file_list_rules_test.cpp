// The text rules of the file list: column order, size values, the duplicate
// key and the list file format.

#include "gui/file_list_rules.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(CompareColumnTexts, ByteWiseCaseSensitivePrefixFirst)
{
    struct Case {
        const char* name;
        std::string a;
        std::string b;
        int expected;
    } const cases[] = {
        {"capital_before_small", "B.pdf", "a.pdf", -1},
        {"small_after_capital", "a.pdf", "B.pdf", 1},
        {"equal", "x.pdf", "x.pdf", 0},
        {"prefix_first", "abc", "abcd", -1},
        {"empty_first", "", "a", -1},
        {"digits_as_text", "10 KB", "9 KB", -1},
        {"high_bytes_after_ascii", "\xC3\xA9.pdf", "z.pdf", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CompareColumnTexts(c.a, c.b), c.expected);
        EXPECT_EQ(CompareColumnTexts(c.b, c.a), -c.expected);
    }
}

TEST(SizeTextValue, ReadsEveryDigitAndIgnoresTheRest)
{
    struct Case {
        const char* name;
        const char* text;
        std::int32_t value;
    } const cases[] = {
        {"plain", "9 KB", 9},
        {"comma_grouped", "1,465 KB", 1465},
        {"dot_grouped", "1.465.001 KB", 1465001},
        {"multi_byte_separator", "1\xE2\x80\xAF" "465 KB", 1465},
        {"no_digits", "KB", 0},
        {"empty", "", 0},
        {"largest_positive", "2,147,483,647 KB", 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SizeTextValue(c.text), c.value);
    }
}

TEST(DuplicateNameKey, LowerCasesOnlyAToZ)
{
    EXPECT_EQ(DuplicateNameKey("X.PDF"), "x.pdf");
    EXPECT_EQ(DuplicateNameKey("Book [1].Mobi"), "book [1].mobi");
    // Other letters and blanks stay as they are: no trimming, no folding.
    EXPECT_EQ(DuplicateNameKey(" \xC3\x89t\xC3\xA9.pdf "), " \xC3\x89t\xC3\xA9.pdf ");
}

TEST(ListFileLines, SplitAtCrLfCrOrLf)
{
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> lines;
    } const cases[] = {
        {"crlf", "/a.pdf\r\n/b.pdf\r\n", {"/a.pdf", "/b.pdf"}},
        {"lf", "/a.pdf\n/b.pdf\n", {"/a.pdf", "/b.pdf"}},
        {"cr", "/a.pdf\r/b.pdf", {"/a.pdf", "/b.pdf"}},
        {"mixed_and_empty_lines", "/a.pdf\n\r\n/b.pdf\r\r/c.pdf", {"/a.pdf", "", "/b.pdf", "", "/c.pdf"}},
        {"last_line_without_end", "/a.pdf\r\n/b.pdf", {"/a.pdf", "/b.pdf"}},
        {"blanks_kept", " /a.pdf \r\n", {" /a.pdf "}},
        {"lf_cr_is_two_ends", "/a.pdf\n\r/b.pdf", {"/a.pdf", "", "/b.pdf"}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitListFileLines(c.content), c.lines);
    }
}

TEST(ListFileLines, JoinEndsEveryPathWithCrLfAndReadsBack)
{
    const std::vector<std::string> paths = {"/books/a b.pdf", "/books/\xC3\xA9.mobi", "/books/a b.pdf"};
    const std::string content = JoinListFileLines(paths);
    EXPECT_EQ(content, "/books/a b.pdf\r\n/books/\xC3\xA9.mobi\r\n/books/a b.pdf\r\n");
    EXPECT_EQ(SplitListFileLines(content), paths);
    EXPECT_EQ(JoinListFileLines({}), "");
}

} // namespace
} // namespace kelvra
