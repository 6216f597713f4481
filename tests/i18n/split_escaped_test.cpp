#include "i18n/charset.h"
#include "i18n/split_escaped.h"

#include <gtest/gtest.h>

#include <QObject>

namespace kelvra {
namespace {

TEST(SplitEscapedTest, SplitsAtTheSeparatorHonouringEscapesAndQuotes)
{
    const struct {
        const char* name;
        QString text;
        QString separator;
        QStringList pieces;
    } cases[] = {
        { "three_items", "A||B||C", "||", { "A", "B", "C" } },
        { "empty_text_is_one_empty_piece", "", "||", { "" } },
        { "empty_pieces_kept", "||A||", "||", { "", "A", "" } },
        { "escaped_bar_does_not_separate", "A\\||B", "||", { "A||B" } },
        { "quoted_part_not_split", "\"A||B\"||C", "||", { "A||B", "C" } },
        { "escape_inside_quotes", "\"a\\\"b\"", "||", { "a\"b" } },
        { "escape_at_end_adds_nothing", "ab\\", "||", { "ab" } },
        { "escaped_escape", "a\\\\b", "||", { "a\\b" } },
        { "single_bar_is_text", "a|b", "||", { "a|b" } },
        { "three_bars", "a|||b", "||", { "a", "|b" } },
        { "key_with_dot", "btnok.Caption", ".", { "btnok", "Caption" } },
        { "key_with_empty_component", ".Caption", ".", { "", "Caption" } },
        { "key_with_three_parts", "a.b.c", ".", { "a", "b", "c" } },
        { "quoted_component_name", "\"lbl.x\".Caption", ".", { "lbl.x", "Caption" } },
        { "escaped_dot", "lbl\\.x.Caption", ".", { "lbl.x", "Caption" } },
        { "separator_case_counts", "aXb", "x", { "aXb" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitEscaped(c.text, c.separator, QLatin1Char('\\'), QStringLiteral("\"")), c.pieces);
    }
}

TEST(CharsetTest, NamesGiveTheirNumbers)
{
    const struct {
        const char* name;
        int value;
    } cases[] = {
        { "russian", 204 }, { "Russian_Charset", 204 }, { "RUSSIAN_CHARSET", 204 }, { "greek", 161 },
        { "ANSI", 0 }, { "default", 1 }, { "symbol", 2 }, { "mac", 77 }, { "shiftjis", 128 }, { "hangeul", 129 },
        { "johab", 130 }, { "gb2312", 134 }, { "chinesebig5", 136 }, { "turkish", 162 }, { "vietnamese", 163 },
        { "hebrew", 177 }, { "arabic", 178 }, { "baltic", 186 }, { "thai", 222 }, { "easteurope", 238 },
        { "oem", 255 }, { "204", 1 }, { "", 1 }, { "klingon", 1 }, { "_CHARSET", 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CharsetFromName(QString::fromLatin1(c.name)), c.value);
    }
}

} // namespace
} // namespace kelvra
