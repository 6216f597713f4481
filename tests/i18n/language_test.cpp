#include "i18n/language.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kelvra {
namespace {

constexpr const char* kLanguageValue = "Software\\Tarnwick\\Brennic\\Language";

// An application folder with some language files, and a store of its own.
class ChooseLanguageFileTest : public ::testing::Test {
protected:
    ChooseLanguageFileTest()
    {
        for (const char* name : { "English.lng", "Deutsch.lng", "Deutsch.LNG", "lang/fr.lng", ".lng.d/x" }) {
            std::filesystem::create_directories(std::filesystem::path(m_app.File(name)).parent_path());
            test::WriteFile(m_app.File(name), "[Strings]\n");
        }
    }

    void SetValue(const std::string& text) const
    {
        auto store = CreateUserRegistry();
        store->OpenKey("Software\\Tarnwick\\Brennic", true);
        store->WriteString("Language", text);
    }

    std::string Choose() const { return ChooseLanguageFile(kLanguageValue, m_app.path()); }

    test::TempDir m_app;
    test::TempDir m_config;
    test::ScopedEnv m_env { "XDG_CONFIG_HOME", m_config.path() };
};

TEST_F(ChooseLanguageFileTest, TheRegistryValueNamesAFileOfTheApplicationFolder)
{
    const struct {
        const char* value;
        const char* file;
    } cases[] = {
        { "Deutsch", "Deutsch.lng" },
        { "Deutsch.LNG", "Deutsch.LNG" },
        { "lang/fr", "lang/fr.lng" },
        { "Deutsch.lng.bak", "English.lng" },
        { "Missing", "English.lng" },
        { "", "English.lng" },
        { "/etc/passwd", "English.lng" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        SetValue(c.value);
        EXPECT_EQ(Choose(), m_app.File(c.file));
    }
}

TEST_F(ChooseLanguageFileTest, WithoutAUsableValueTheChoiceIsEnglish)
{
    EXPECT_EQ(Choose(), m_app.File("English.lng")) << "no key";
    {
        auto store = CreateUserRegistry();
        store->OpenKey("Software\\Tarnwick\\Brennic", true);
        store->WriteInteger("Other", 1);
    }
    EXPECT_EQ(Choose(), m_app.File("English.lng")) << "no value";
    {
        auto store = CreateUserRegistry();
        store->OpenKey("Software\\Tarnwick\\Brennic", true);
        store->WriteInteger("Language", 7);
    }
    EXPECT_EQ(Choose(), m_app.File("English.lng")) << "a value of the wrong type";

    std::filesystem::remove(m_app.File("English.lng"));
    EXPECT_EQ(Choose(), m_app.File("English.lng")) << "English.lng even when it is missing";
}

TEST_F(ChooseLanguageFileTest, AnUnreadableStoreMeansEnglish)
{
    std::filesystem::create_directories(m_config.path() + "/Tarnwick");
    test::WriteFile(m_config.path() + "/Tarnwick/registry.reg", "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic]\n\"Language\"=\"Deu");
    EXPECT_EQ(Choose(), m_app.File("English.lng"));
}

TEST(LoadLanguageStringsTest, FillsTheTableFromTheStringsSection)
{
    test::TempDir folder;
    const std::string file = folder.File("x.lng");
    test::WriteFile(file, "[Strings]\n0=zero\n11=First||Second\n12=\n013=leading zero\n450=last\n451=beyond\n"
                          "21=caf\xE9\n22=Gr\xC3\xBC\xC3\x9F" "e\n");
    LanguageTable table;
    table[12] = "kept";
    EXPECT_TRUE(LoadLanguageStrings(table, 450, file, "strings"));
    EXPECT_EQ(table[0], "zero");
    EXPECT_EQ(table[11], "First\r\nSecond");
    EXPECT_EQ(table[12], "kept") << "an empty value leaves the entry";
    EXPECT_EQ(table[13], "") << "keys are written without leading zeros";
    EXPECT_EQ(table[450], "last");
    EXPECT_EQ(table[21], QString::fromUtf8("café")) << "text that is not UTF-8 is read as Latin-1";
    EXPECT_EQ(table[22], QString::fromUtf8("Grüße"));

    LanguageTable small;
    EXPECT_TRUE(LoadLanguageStrings(std::span<QString>(small).first(5), 450, file, "Strings"));
    EXPECT_EQ(small[0], "zero");
    EXPECT_TRUE(LoadLanguageStrings(small, 450, folder.File("missing.lng"), "Strings"));
}

TEST(LoadLanguageStringsTest, TheShippedEnglishFileHasTheUsedTexts)
{
    LanguageTable table;
    LoadLanguageStrings(table, 450, KELVRA_ENGLISH_LNG, "Strings");
    for (int index = 0; index < LanguageStringCount; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(table[static_cast<std::size_t>(index)].isEmpty(), index < 11 || index > 21);
    }
    EXPECT_TRUE(table[13].contains("\r\n"));
}

} // namespace
} // namespace kelvra
