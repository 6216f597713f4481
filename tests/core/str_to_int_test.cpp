#include "core/str_to_int.h"

#include <gtest/gtest.h>
#include <optional>

namespace kelvra {
namespace {

TEST(StrToInt, DecimalAndHexadecimalWithinTheSigned32BitRange)
{
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"   42", 42},
        {"+7", 7},
        {"-1", -1},
        {"-0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$10", 16},
        {"$ab", 171},
        {"0x1F", 31},
        {"0X1f", 31},
        {"x10", 16},
        {"X10", 16},
        {"-$10", -16},
        {" +0x10", 16},
        {"$7FFFFFFF", 2147483647},
        {"-$80000000", -2147483647 - 1},
        // Refused:
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"5 ", std::nullopt},
        {"5a", std::nullopt},
        {"ab", std::nullopt},
        {"1e3", std::nullopt},
        {"1.0", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"\t5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$80000000", std::nullopt},
        {"$FFFFFFFF", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "'");
        EXPECT_EQ(TryStrToInt(c.text), c.value);
    }
}

TEST(StrToInt, RefusalNamesTheTextInItsMessage)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"abc", "'abc' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {" 5 ", "' 5 ' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            StrToInt(c.text);
            ADD_FAILURE() << "no error raised";
        } catch (const ConvertError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_EQ(StrToInt("-$10"), -16);
}

} // namespace
} // namespace kelvra
