#include "core/size_text.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

namespace kelvra {
namespace {

TEST(SizeToKBText, OneMoreThanTheWholeKilobytesGroupedByThousands)
{
    struct Case {
        const char* name;
        std::int64_t size;
        const char* separator;
        const char* text;
    };
    const Case cases[] = {
        {"empty_file", 0, ",", "1 KB"},
        {"just_under_1k", 1023, ",", "1 KB"},
        {"exactly_1k", 1024, ",", "2 KB"},
        {"2k", 2048, ",", "3 KB"},
        {"one_and_a_half_million", 1500000, ",", "1,465 KB"},
        {"group_boundary", 999 * 1024, ",", "1,000 KB"},
        {"no_separator", 1500000, "", "1465 KB"},
        {"multibyte_separator", 1500000, "\xE2\x80\xAF", "1\xE2\x80\xAF" "465 KB"},
        {"above_4_gib", std::int64_t{5} << 30, ".", "5.242.881 KB"},
        {"largest", std::numeric_limits<std::int64_t>::max(), ",", "9,007,199,254,740,992 KB"},
        {"unknown_size", -1, ",", "1 KB"},
        {"negative_rounds_away_from_zero", -2048, ",", "-2 KB"},
        {"most_negative", std::numeric_limits<std::int64_t>::min(), ",", "-9,007,199,254,740,992 KB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SizeToKBText(c.size, c.separator), c.text);
    }
}

} // namespace
} // namespace kelvra
