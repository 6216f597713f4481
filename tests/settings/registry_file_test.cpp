#include "platform/registry_file.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvra {
namespace {

constexpr std::uint32_t kSz = 1, kExpandSz = 2, kBinary = 3, kDword = 4, kMultiSz = 7;

std::string Sz(std::string text)
{
    return text + '\0';
}

TEST(RegistryFileTest, EveryValueRoundTripsThroughTheText)
{
    const struct {
        const char* name;
        RegistryValue value;
    } cases[] = {
        { "plain_text", { "LogDir", kSz, Sz("/home/u/log") } },
        { "empty_text", { "Empty", kSz, Sz("") } },
        { "quotes_and_backslashes", { "Q\"u\\ote", kSz, Sz(R"(C:\dir\"x"\\)") } },
        { "line_breaks", { "Lines", kSz, Sz("a\r\nb\nc\r") } },
        { "non_ascii", { "Übersicht", kSz, Sz("Grüße – 日本") } },
        { "invalid_utf8", { "Latin1", kSz, Sz("caf\xE9") } },
        { "zero_inside_text", { "Zero", kSz, std::string("a\0b\0", 4) } },
        { "text_without_terminator", { "Raw", kSz, "abc" } },
        { "expand_string", { "Path", kExpandSz, Sz("%HOME%/x") } },
        { "dword_zero", { "Off", kDword, std::string(4, '\0') } },
        { "dword_minus_one", { "All", kDword, std::string(4, '\xFF') } },
        { "odd_sized_dword_data", { "Short", kDword, "ab" } },
        { "binary_empty", { "None", kBinary, "" } },
        { "binary_lines", { "List", kBinary, "a\r\nb\r\n" } },
        { "binary_long_wraps", { "Long", kBinary, std::string(300, '\x7F') } },
        { "foreign_type", { "Multi", kMultiSz, std::string("a\0b\0\0", 5) } },
        { "default_value", { "", kSz, Sz("default") } },
        { "name_at_sign", { "@", kSz, Sz("not the default") } },
        { "name_with_equals", { "a=hex", kBinary, "\x01\x02" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryDocument document;
        document.ProvideKey("HKEY_CURRENT_USER\\Software\\Test").SetValue(c.value.name, c.value.type, c.value.data);
        const std::string text = FormatRegistryText(document);
        const RegistryDocument back = ParseRegistryText(text);
        EXPECT_TRUE(back.damage.empty()) << text << back.damage.front().reason;
        const RegistryKey* key = back.FindKey("hkey_current_user\\software\\TEST");
        ASSERT_NE(key, nullptr) << text;
        const RegistryValue* value = key->FindValue(c.value.name);
        ASSERT_NE(value, nullptr) << text;
        EXPECT_EQ(value->name, c.value.name);
        EXPECT_EQ(value->type, c.value.type);
        EXPECT_EQ(value->data, c.value.data) << text;
    }
}

TEST(RegistryFileTest, WritesTheExportFormat)
{
    RegistryDocument document;
    RegistryKey& key = document.ProvideKey("HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic\\Setting");
    key.SetValue("LogDir", kSz, Sz("C:\\log"));
    key.SetValue("MLoop", kDword, std::string("\x2a\0\0\0", 4));
    key.SetValue("List", kBinary, "a\r\n");
    key.SetValue("Path", kExpandSz, Sz("x"));
    EXPECT_EQ(FormatRegistryText(document),
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic\\Setting]\n"
        "\"LogDir\"=\"C:\\\\log\"\n"
        "\"MLoop\"=dword:0000002a\n"
        "\"List\"=hex:61,0d,0a\n"
        "\"Path\"=hex(2):78,00\n"
        "\n"
        "; end of settings\n");
}

TEST(RegistryFileTest, ReadsWhatRegeditWrites)
{
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                             "; a comment\r\n"
                             "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                             "@=\"default\"\r\n"
                             "\"Bin\"=hex:01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"Num\"=dword:00000010\r\n"
                             "\"Path\"=\"C:\\dir\"\r\n"
                             "\r\n"
                             "; end of settings\r\n";
    const RegistryDocument document = ParseRegistryText(text);
    ASSERT_TRUE(document.damage.empty()) << document.damage.front().reason;
    const RegistryKey* key = document.FindKey("HKEY_CURRENT_USER\\Software\\A");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue("")->data, Sz("default"));
    EXPECT_EQ(key->FindValue("bin")->data, "\x01\x02\x03\x04");
    EXPECT_EQ(key->FindValue("Num")->data, std::string("\x10\0\0\0", 4));
    // A lone backslash of a hand-written path is kept as it is.
    EXPECT_EQ(key->FindValue("Path")->data, Sz("C:\\dir"));
}

TEST(RegistryFileTest, DamageIsReportedWithItsLineAndTheRestIsKept)
{
    const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"Good\"=dword:00000001\n";
    const std::string end = "\n; end of settings\n";
    const struct {
        const char* name;
        std::string text;
        int line;
        bool onlyThisKey; // the damage concerns key K only, not every key
    } cases[] = {
        { "value_line_without_equals", head + "\"Bad\" dword:1\n" + end, 5, true },
        { "unknown_value_type", head + "\"Bad\"=qword:1\n" + end, 5, true },
        { "dword_with_bad_digits", head + "\"Bad\"=dword:xyz\n" + end, 5, true },
        { "text_without_closing_quote", head + "\"Bad\"=\"abc\n" + end, 5, true },
        { "hex_that_does_not_parse", head + "\"Bad\"=hex:0g,1\n" + end, 5, true },
        { "line_of_binary_junk", head + std::string("\x01\x02\xFF junk", 8) + "\n" + end, 5, true },
        { "cut_inside_continued_hex", head + "\"Bad\"=hex:01,02,\\\n", 6, true },
        { "cut_at_a_line_boundary", head, 5, false },
        { "cut_inside_a_line", head + "\"Half\"=\"abc", 5, true },
        { "broken_key_line", head + "[HKEY_CURRENT_USER\\Other\n\"X\"=dword:1\n" + end, 5, false },
        { "missing_header", "[HKEY_CURRENT_USER\\K]\n\"Good\"=dword:00000001\n" + end, 1, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryDocument document = ParseRegistryText(c.text);
        ASSERT_FALSE(document.damage.empty());
        EXPECT_EQ(document.damage.front().line, c.line) << document.damage.front().reason;
        EXPECT_EQ(document.damage.front().keyPath.empty(), !c.onlyThisKey);
        const RegistryKey* key = document.FindKey("HKEY_CURRENT_USER\\K");
        ASSERT_NE(key, nullptr);
        EXPECT_NE(key->FindValue("Good"), nullptr);
        EXPECT_EQ(key->FindValue("Bad"), nullptr);
    }
}

TEST(RegistryFileTest, EmptyTextIsDamageNotAnEmptyStore)
{
    const RegistryDocument document = ParseRegistryText("");
    ASSERT_EQ(document.damage.size(), 1u);
    EXPECT_TRUE(document.damage.front().keyPath.empty());
}

} // namespace
} // namespace kelvra
