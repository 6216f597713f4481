#include "cmd/command_options.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

using Args = std::vector<std::string>;

TEST(CommandOptions, PresenceTrimsTheWholeArgumentValueLookupOnlyItsFirstTwoCharacters)
{
    struct Case {
        const char* name;
        Args arguments;
        bool present;
        const char* value;
    };
    const Case cases[] = {
        {"plain", {"in.pdf", "out.epub", "-L5"}, true, "5"},
        {"lower_case_switch", {"in.pdf", "out.epub", "-l5"}, true, "5"},
        {"value_kept_as_written", {"-LAbC "}, true, "AbC "},
        {"no_value", {"-L"}, true, ""},
        {"value_as_separate_argument", {"-L", "5"}, true, ""},
        {"first_in_order_wins", {"-L1", "-l2"}, true, "1"},
        {"names_are_searched_too", {"-Lfile.txt", "out.epub"}, true, "file.txt"},
        {"blank_before_switch", {" -L5"}, true, ""}, // present once trimmed, but " -" is no switch
        {"blank_and_first_match", {" -L5", "-L7"}, true, "7"},
        {"one_character", {"-"}, false, ""},
        {"absent", {"in.pdf", "out.epub", "-V1"}, false, ""},
        {"no_arguments", {}, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SwitchPresent(c.arguments, LoopCountSwitch), c.present);
        EXPECT_EQ(SwitchValue(c.arguments, LoopCountSwitch), c.value);
    }
}

TEST(CommandOptions, DefaultsAndTakenValues)
{
    const ConsoleOptions defaults = ReadConsoleOptions({"in.pdf", "out.epub"});
    EXPECT_EQ(defaults.loopCount, "0");
    EXPECT_EQ(defaults.verboseLevel, "1");
    EXPECT_EQ(defaults.pixelWidth, "0");
    EXPECT_EQ(defaults.pixelHeight, "0");

    const ConsoleOptions taken = ReadConsoleOptions({"in.pdf", "out.epub", "-y7", "-V", "-x$10", "-L3"});
    EXPECT_EQ(taken.loopCount, "3");
    EXPECT_EQ(taken.verboseLevel, "");
    EXPECT_EQ(taken.pixelWidth, "$10");
    EXPECT_EQ(taken.pixelHeight, "7");
}

} // namespace
} // namespace kelvra
