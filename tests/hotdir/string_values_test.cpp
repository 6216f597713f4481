#include "hotdir/string_values.h"

#include <gtest/gtest.h>

#include <set>

namespace kelvra {
namespace {

TEST(TStringValues, PairsByPositionAndOutOfRangeAnswers)
{
    TStringValues list;
    EXPECT_EQ(list.Count(), 0);
    list.Add("a.pdf", "");
    list.Add("b.pdf", "1");
    struct Case {
        const char* name;
        int index;
        const char* expectedName;
        const char* expectedValue;
    };
    const Case cases[] = {
        {"first", 0, "a.pdf", ""},
        {"second", 1, "b.pdf", "1"},
        {"past_the_end", 2, "", ""},
        {"negative", -1, "", ""},
        {"far_negative", -1000000000, "", ""},
        {"far_past", 1000000000, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.Name(c.index), c.expectedName);
        EXPECT_EQ(list.Value(c.index), c.expectedValue);
    }
    EXPECT_EQ(list.Count(), 2);

    list.SetValue(5, "2");
    list.SetValue(-1, "2");
    EXPECT_EQ(list.Value(0), "");
    list.SetValue(0, "2");
    EXPECT_EQ(list.Value(0), "2");
    EXPECT_EQ(list.Name(0), "a.pdf");

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Name(0), "");
}

TEST(TStringValues, KeepsThePendingPositions)
{
    TStringValues list;
    list.Add("a", "");
    list.Add("b", "1");
    list.Add("c", "");
    list.Add("d", "");
    EXPECT_EQ(list.PendingPairs(), (std::set<int>{0, 2, 3}));
    list.SetValue(2, "2");
    list.SetValue(0, "1");
    EXPECT_EQ(list.PendingPairs(), (std::set<int>{3}));
    list.SetValue(1, ""); // made pending again
    EXPECT_EQ(list.PendingPairs(), (std::set<int>{1, 3}));
    list.Clear();
    EXPECT_TRUE(list.PendingPairs().empty());
}

} // namespace
} // namespace kelvra
