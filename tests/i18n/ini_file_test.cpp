#include "i18n/ini_file.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvra {
namespace {

template <std::size_t N>
std::string Bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1); // zero bytes included
}

TEST(IniFileTest, ReadStringFollowsTheProfileRules)
{
    const struct {
        const char* name;
        std::string text;
        const char* section;
        const char* key;
        std::string expected;
    } cases[] = {
        { "plain", "[Strings]\n11=Hello\n", "Strings", "11", "Hello" },
        { "section_and_key_case", "[sTrInGs]\nKeY=v\n", "STRINGS", "key", "v" },
        { "first_equals_splits", "[s]\nk=a=b\n", "s", "k", "a=b" },
        { "blanks_around_trimmed", "[s]\n  k \t=  a b \t\n", "s", "k", "a b" },
        { "quotes_stay", "[s]\nk=\"q\"\n", "s", "k", "\"q\"" },
        { "first_of_repeated_keys", "[s]\nk=1\nK=2\n", "s", "k", "1" },
        { "first_of_repeated_sections", "[s]\nk=1\n[S]\nk=2\nj=3\n", "s", "j", "<default>" },
        { "line_without_equals_is_no_key", "[s]\nk\n", "s", "k", "<default>" },
        { "comment_line", "[s]\n;k=1\n", "s", ";k", "<default>" },
        { "missing_section", "[t]\nk=1\n", "s", "k", "<default>" },
        { "key_before_any_section", "k=1\n[s]\n", "s", "k", "<default>" },
        { "cr_only_line_ends", "[s]\rk=1\rj=2\r", "s", "j", "2" },
        { "lf_only_line_ends", "[s]\nk=1\nj=2", "s", "j", "2" },
        { "crlf_line_ends", "[s]\r\nk=1\r\nj=2\r\n", "s", "j", "2" },
        { "binary_junk_around", Bytes("[s]\n\0\xFF\x01junk\n\x7F\x80=\x00\nk=ok\n[t\0x]\nk=no\n"), "s", "k", "ok" },
        { "empty_value", "[s]\nk=\n", "s", "k", "" },
        { "byte_order_mark", "\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "1" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IniFile::FromText(c.text).ReadString(c.section, c.key, "<default>"), c.expected);
    }
}

TEST(IniFileTest, AtMost2047BytesOfAValueAreSeen)
{
    const std::string longValue(5 * 1024 * 1024, 'x'); // a line of megabytes
    const IniFile ini = IniFile::FromText("[s]\nk=" + longValue + "\nnext=1\n");
    EXPECT_EQ(ini.ReadString("s", "k", ""), std::string(2047, 'x'));
    EXPECT_EQ(ini.ReadString("s", "next", ""), "1");

    // A two-byte character that would straddle the limit is left out whole.
    const std::string utf8 = std::string(2046, 'a') + "\xC3\xA9";
    EXPECT_EQ(IniFile::FromText("[s]\nk=" + utf8 + "\n").ReadString("s", "k", ""), std::string(2046, 'a'));
}

TEST(IniFileTest, ReadIntegerTakesDecimalAndHexadecimal)
{
    const struct {
        const char* value;
        int expected;
    } cases[] = {
        { "12", 12 }, { "-3", -3 }, { "0x1F", 31 }, { "0X1f", 31 }, { "$10", 16 },
        { "fifty", -1 }, { "12abc", -1 }, { "", -1 }, { "99999999999", -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IniFile::FromText(std::string("[Font]\nSize=") + c.value + "\n").ReadInteger("font", "size", -1),
            c.expected);
    }
    EXPECT_EQ(IniFile::FromText("").ReadInteger("Font", "Size", 7), 7);
}

TEST(IniFileTest, KeyListingStopsAtItsBuffer)
{
    // 200 keys of 99 characters: each takes 100 bytes of the 16384-byte list,
    // plus one byte that ends the list, so 163 of them fit.
    std::string text = "[s]\n";
    for (int i = 0; i < 200; ++i) {
        std::string key = std::to_string(1000 + i);
        key.resize(99, 'k');
        text += key + "=v\n";
    }
    const IniFile ini = IniFile::FromText(text);
    const std::vector<std::string> keys = ini.ReadSection("S");
    ASSERT_EQ(keys.size(), 163u);
    EXPECT_EQ(keys.front().substr(0, 4), "1000");
    EXPECT_EQ(keys.back().substr(0, 4), "1162");
    EXPECT_EQ(ini.ReadSectionValues("s").front(), keys.front() + "=v");
}

TEST(IniFileTest, ReadSectionValuesListsEachKeyOnceInFileOrder)
{
    const IniFile ini = IniFile::FromText("[w]\nb.Caption = B \na.Hint=x=y\nB.caption=again\nno equals\n");
    EXPECT_EQ(ini.ReadSectionValues("W"), (std::vector<std::string> { "b.Caption=B", "a.Hint=x=y" }));
}

TEST(IniFileTest, AMissingFileReadsAsEmpty)
{
    test::TempDir folder;
    const IniFile missing(folder.File("none.lng"));
    EXPECT_EQ(missing.ReadString("Strings", "11", "d"), "d");
    test::WriteFile(folder.File("real.lng"), "[Strings]\r\n11=From the file\r\n");
    EXPECT_EQ(IniFile(folder.File("real.lng")).ReadString("strings", "11", ""), "From the file");
}

} // namespace
} // namespace kelvra
