#include "platform/registry_store.h"
#include "settings/base_settings.h"
#include "settings/property_table.h"
#include "settings/tstrings.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kelvra {

// A settings class with one property of every kind the table distinguishes.
class TTestSettings : public TBaseSettings {
    Q_OBJECT
public:
    enum Mode { ModeA, ModeB, ModeC };
    Q_ENUM(Mode)
    enum Option { OptionX = 1, OptionY = 2 };
    Q_DECLARE_FLAGS(Options, Option)
    Q_FLAG(Options)

private:
    Q_PROPERTY(int Count MEMBER m_count)
    Q_PROPERTY(char Letter MEMBER m_letter)
    Q_PROPERTY(Mode Kind MEMBER m_mode)
    Q_PROPERTY(bool Flag MEMBER m_flag)
    Q_PROPERTY(double Ratio MEMBER m_ratio)
    Q_PROPERTY(qint64 Big MEMBER m_big)
    Q_PROPERTY(QString Text MEMBER m_text)
    Q_PROPERTY(kelvra::TStrings* Lines READ Lines)
    Q_PROPERTY(kelvra::TStrings* NoLines MEMBER m_noLines)
    Q_PROPERTY(QObject* Other MEMBER m_other)
    Q_PROPERTY(Options Choices READ Choices WRITE SetChoices)
    Q_PROPERTY(QChar Wide MEMBER m_wide)
    Q_PROPERTY(int tAG MEMBER m_excludedByName)

public:
    explicit TTestSettings(QObject* owner = nullptr) : TBaseSettings(owner) { }
    ~TTestSettings() override { BeforeDestruction(); }

    TStrings* Lines() { return &m_lines; }
    Options Choices() const { return m_choices; }
    void SetChoices(Options choices) { m_choices = choices; }

    int m_count = 1;
    char m_letter = 'a';
    Mode m_mode = ModeA;
    bool m_flag = false;
    double m_ratio = 0.5;
    qint64 m_big = 0;
    QString m_text = QStringLiteral("start");
    TStrings m_lines;
    TStrings* m_noLines = nullptr;
    QObject* m_other = &m_otherObject;
    QObject m_otherObject;
    Options m_choices = OptionX;
    QChar m_wide = QLatin1Char('w');
    int m_excludedByName = 0;
};

class TOtherSettings : public TBaseSettings {
    Q_OBJECT
};

namespace {

constexpr const char* kKey = "Software\\Tarnwick\\Test";

class BaseSettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<RegistryStore> Store() const
    {
        auto store = CreateUserRegistry();
        store->OpenKey(kKey, true);
        return store;
    }

    // Fills every stored property with a value other than its default.
    static void FillNonDefault(TTestSettings& settings)
    {
        settings.m_count = -42;
        settings.m_letter = 'z';
        settings.m_mode = TTestSettings::ModeC;
        settings.m_flag = true;
        settings.m_ratio = 1234.5678;
        settings.m_big = 5000000000LL;
        settings.m_text = kFilledText;
        settings.m_lines.SetLines({ QStringLiteral("a"), QStringLiteral("b") });
    }

    // Checks the values of FillNonDefault but the list.
    static void ExpectFilledValues(const TTestSettings& settings)
    {
        EXPECT_EQ(settings.m_count, -42);
        EXPECT_EQ(settings.m_letter, 'z');
        EXPECT_EQ(settings.m_mode, TTestSettings::ModeC);
        EXPECT_TRUE(settings.m_flag);
        EXPECT_DOUBLE_EQ(settings.m_ratio, 1234.5678);
        EXPECT_EQ(settings.m_big, 5000000000LL);
        EXPECT_EQ(settings.m_text, kFilledText);
    }

    static inline const QString kFilledText = QStringLiteral("Grüße \"quoted\" \\ back\r\nline");

    test::TempDir m_config;
    test::ScopedEnv m_env { "XDG_CONFIG_HOME", m_config.path() };
};

TEST_F(BaseSettingsTest, ThePropertyTableStartsWithTheBaseEntries)
{
    TTestSettings settings;
    QStringList names;
    for (int i = 0; i < PropertyCount(&settings); ++i)
        names << PropertyName(&settings, i);
    EXPECT_EQ(names.mid(0, 6), QStringList({ "Name", "Tag", "AutoLoad", "RegistryKey", "Count", "Letter" }));
    EXPECT_EQ(names.size(), 4 + 13);
    EXPECT_EQ(settings.ExcludedProperties(), QStringList({ "RegistryKey", "AutoLoad", "Name", "Tag" }));
    EXPECT_TRUE(settings.AutoLoad());
    EXPECT_TRUE(settings.RegistryKey().isEmpty());
}

TEST_F(BaseSettingsTest, SaveWritesEachKindInItsRegistryFormat)
{
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    FillNonDefault(settings);
    settings.SaveSettings();

    auto store = Store();
    EXPECT_EQ(store->GetDataType("Count"), RegDataType::Integer);
    EXPECT_EQ(store->ReadInteger("Count"), -42);
    EXPECT_EQ(store->ReadInteger("Letter"), 'z');
    EXPECT_EQ(store->ReadInteger("Kind"), 2);
    EXPECT_EQ(store->ReadInteger("Flag"), 1);
    EXPECT_EQ(store->GetDataType("Ratio"), RegDataType::String);
    EXPECT_EQ(store->ReadString("Big"), "5000000000");
    EXPECT_EQ(store->ReadString("Text"), settings.m_text.toStdString());
    EXPECT_EQ(store->ReadBinaryData("Lines"), std::string("a\r\nb\r\n"));
    for (const char* notStored : { "NoLines", "Other", "Choices", "Wide", "tAG", "Name", "Tag", "AutoLoad", "RegistryKey" })
        EXPECT_FALSE(store->ValueExists(notStored)) << notStored;
}

TEST_F(BaseSettingsTest, LoadGivesBackWhatWasSaved)
{
    TTestSettings saved;
    saved.SetAutoLoad(false);
    saved.SetRegistryKey(kKey);
    FillNonDefault(saved);
    saved.SaveSettings();
    saved.SaveSettings(); // a second save of the same values changes nothing

    TTestSettings loaded;
    loaded.SetAutoLoad(false);
    loaded.SetRegistryKey(kKey);
    loaded.LoadSettings();
    ExpectFilledValues(loaded);
    EXPECT_EQ(loaded.m_lines.Lines(), QStringList({ "a", "b" }));
    EXPECT_EQ(loaded.m_choices, TTestSettings::Options(TTestSettings::OptionX));
}

TEST_F(BaseSettingsTest, StoredListBytesLoadAsLines)
{
    const struct {
        const char* name;
        std::string bytes;
        QStringList lines;
    } cases[] = {
        { "empty", "", {} },
        { "crlf", "a\r\nb\r\n", { "a", "b" } },
        { "lone_cr_and_lf", "a\rb\nc", { "a", "b", "c" } },
        { "empty_line_kept", "a\r\n\r\nb", { "a", "", "b" } },
        { "zero_ends_the_text", std::string("a\r\nb\0c\r\n", 8), { "a", "b" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store()->WriteBinaryData("Lines", c.bytes);
        TTestSettings settings;
        settings.SetAutoLoad(false);
        settings.SetRegistryKey(kKey);
        settings.m_lines.SetLines({ "old" });
        settings.LoadSettings();
        EXPECT_EQ(settings.m_lines.Lines(), c.lines);
    }
}

TEST_F(BaseSettingsTest, AnEmptyListIsStoredAsZeroBytes)
{
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    settings.SaveSettings();
    EXPECT_EQ(Store()->GetDataType("Lines"), RegDataType::Binary);
    EXPECT_EQ(Store()->GetDataSize("Lines"), 0);
}

TEST_F(BaseSettingsTest, LoadingSomeValuesLeavesTheOthersAlone)
{
    auto store = Store();
    store->WriteInteger("Flag", 1);
    store->WriteString("Unrelated", "not a property");
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    settings.LoadSettings();
    EXPECT_TRUE(settings.m_flag);
    EXPECT_EQ(settings.m_count, 1);
    EXPECT_EQ(settings.m_text, "start");
    settings.SaveSettings();
    EXPECT_EQ(Store()->ReadString("Unrelated"), "not a property");
}

TEST_F(BaseSettingsTest, ALoadStopsAtTheFirstValueItCannotUse)
{
    const struct {
        const char* name;
        std::function<void(RegistryStore&)> store;
        const char* message;
        const char* textAfterwards; // "Text" comes after all but "Lines"
    } cases[] = {
        { "text_for_an_integer", [](RegistryStore& s) { s.WriteString("Kind", "2"); }, "Invalid data type for 'Kind'",
            "start" },
        { "integer_for_a_text", [](RegistryStore& s) { s.WriteInteger("Ratio", 2); }, "Invalid data type for 'Ratio'",
            "start" },
        { "text_for_a_list", [](RegistryStore& s) { s.WriteString("Lines", "a"); }, "Invalid data type for 'Lines'",
            "after" },
        { "bad_float_text", [](RegistryStore& s) { s.WriteString("Ratio", "abc"); },
            "'abc' is not a valid floating point value", "start" },
        { "bad_int64_text", [](RegistryStore& s) { s.WriteString("Big", "12x"); }, "'12x' is not a valid integer value",
            "start" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(m_config.path() + "/Tarnwick");
        auto store = Store();
        store->WriteInteger("Count", 9); // before the bad value in table order
        store->WriteString("Text", "after"); // after it
        c.store(*store);

        TTestSettings settings;
        settings.SetAutoLoad(false);
        settings.SetRegistryKey(kKey);
        try {
            settings.LoadSettings();
            ADD_FAILURE() << "no error";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_EQ(settings.m_count, 9);
        EXPECT_EQ(settings.m_text, c.textAfterwards);
    }
}

TEST_F(BaseSettingsTest, FloatingPointTextFollowsTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    settings.m_ratio = 1234567.25;
    settings.SaveSettings();
    const std::string stored = Store()->ReadString("Ratio");
    settings.m_ratio = 0;
    settings.LoadSettings();
    QLocale::setDefault(previous);
    EXPECT_EQ(stored, "1234567,25");
    EXPECT_DOUBLE_EQ(settings.m_ratio, 1234567.25);
}

TEST_F(BaseSettingsTest, AnEmptyRegistryKeyDisablesLoadAndSave)
{
    {
        TTestSettings settings;
        settings.LoadSettings();
        settings.SaveSettings();
    }
    EXPECT_FALSE(std::filesystem::exists(m_config.path() + "/Tarnwick/registry.reg"));
}

TEST_F(BaseSettingsTest, ASaveThatCannotWriteFailsAtTheFirstStoredProperty)
{
    test::WriteFile(m_config.path() + "/Tarnwick", "blocks the store folder");
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    try {
        settings.SaveSettings();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Count'");
    }
}

TEST_F(BaseSettingsTest, DestructionSavesOnlyWithAutoLoadAndSwallowsErrors)
{
    {
        TTestSettings settings;
        settings.SetRegistryKey(kKey);
        settings.m_count = 77;
    }
    EXPECT_EQ(Store()->ReadInteger("Count"), 77) << "derived properties are saved too";
    {
        TTestSettings settings;
        settings.SetRegistryKey(kKey);
        settings.SetAutoLoad(false);
        settings.m_count = 88;
    }
    EXPECT_EQ(Store()->ReadInteger("Count"), 77);
    {
        TTestSettings designing;
        designing.SetRegistryKey(kKey);
        designing.SetDesigning(true);
        designing.m_count = 99;
    }
    EXPECT_EQ(Store()->ReadInteger("Count"), 77);
    std::filesystem::remove_all(m_config.path() + "/Tarnwick");
    test::WriteFile(m_config.path() + "/Tarnwick", "blocks the store folder");
    EXPECT_NO_THROW({
        TTestSettings failing;
        failing.SetRegistryKey(kKey);
    });
}

TEST_F(BaseSettingsTest, LoadedLoadsUnlessDesigningOrAutoLoadIsOff)
{
    Store()->WriteInteger("Count", 5);
    const struct {
        const char* name;
        bool autoLoad;
        bool designing;
        int expected;
    } cases[] = {
        { "auto_load", true, false, 5 },
        { "auto_load_off", false, false, 1 },
        { "designing", true, true, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTestSettings settings;
        settings.SetRegistryKey(kKey);
        settings.SetAutoLoad(c.autoLoad);
        settings.SetDesigning(c.designing);
        settings.Loaded();
        EXPECT_EQ(settings.m_count, c.expected);
        settings.SetAutoLoad(false); // no save on destruction
    }
}

TEST_F(BaseSettingsTest, AssignCopiesEverythingButTheName)
{
    TTestSettings source;
    source.SetAutoLoad(false);
    source.SetName(QStringLiteral("source"));
    source.SetTag(12);
    source.SetRegistryKey(QStringLiteral("Software\\Elsewhere"));
    FillNonDefault(source);
    source.m_lines.Add(QStringLiteral("c"), QVariant(3));
    source.m_choices = TTestSettings::Options(TTestSettings::OptionX | TTestSettings::OptionY);

    TTestSettings destination;
    destination.SetName(QStringLiteral("destination"));
    destination.Assign(&source);
    EXPECT_EQ(destination.Name(), "destination");
    EXPECT_EQ(destination.Tag(), 12);
    EXPECT_FALSE(destination.AutoLoad());
    EXPECT_EQ(destination.RegistryKey(), "Software\\Elsewhere");
    ExpectFilledValues(destination);
    EXPECT_EQ(destination.m_lines.Lines(), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(destination.m_lines.Object(2), QVariant(3));
    EXPECT_EQ(destination.m_choices, source.m_choices);
    EXPECT_EQ(destination.m_other, &destination.m_otherObject) << "object references are not copied";
}

TEST_F(BaseSettingsTest, AssignFromAnotherClassFails)
{
    TTestSettings settings;
    settings.SetAutoLoad(false);
    TOtherSettings other;
    other.SetAutoLoad(false);
    TBaseSettings base;
    const struct {
        const char* name;
        const QObject* source;
        const char* message;
    } cases[] = {
        { "unrelated_class", &other, "Cannot assign a TOtherSettings to a TTestSettings" },
        { "base_class", &base, "Cannot assign a TBaseSettings to a TTestSettings" },
        { "null", nullptr, "Cannot assign a nil to a TTestSettings" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            settings.Assign(c.source);
            ADD_FAILURE() << "no error";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_NO_THROW(base.Assign(&settings)) << "a derived class may be assigned to its base";
}

// Every stored integer of the settings set to `value`.
void SetAllIntegers(TTestSettings& settings, int value)
{
    settings.m_count = value;
    settings.m_letter = static_cast<char>(value % 100);
    settings.m_big = value;
    settings.m_text = QString::number(value);
}

// True when the key holds the values of one save only.
::testing::AssertionResult HoldsOneSave(RegistryStore& store)
{
    const int count = store.ReadInteger("Count");
    if (store.ReadInteger("Letter") != count % 100 || store.ReadString("Big") != std::to_string(count)
        || store.ReadString("Text") != std::to_string(count))
        return ::testing::AssertionFailure() << "values of different saves, Count = " << count;
    return ::testing::AssertionSuccess();
}

// The body of a child process: saves `rounds` times (for ever when 0), the
// values of round r being first + r.
[[noreturn]] void SaveInChild(int first, int rounds)
{
    TTestSettings settings;
    settings.SetAutoLoad(false);
    settings.SetRegistryKey(kKey);
    for (int round = 0; rounds == 0 || round < rounds; ++round) {
        SetAllIntegers(settings, first + round);
        settings.SaveSettings();
    }
    _exit(0);
}

TEST_F(BaseSettingsTest, ProcessesSavingAtOnceNeverMixTheirValues)
{
    constexpr int kChildren = 3;
    std::vector<pid_t> children;
    for (int child = 1; child <= kChildren; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            SaveInChild(child * 1000, 30);
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto store = Store();
    EXPECT_TRUE(HoldsOneSave(*store));
    EXPECT_EQ(store->ReadInteger("Count") % 1000, 29) << "the last save of one of the processes";
}

TEST_F(BaseSettingsTest, ASaveKilledMidwayLeavesTheOldOrTheNewValues)
{
    for (int attempt = 0; attempt < 6; ++attempt) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            SaveInChild(0, 0);
        usleep(static_cast<useconds_t>(15000 + attempt * 9000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        auto store = Store();
        if (store->ValueExists("Count")) {
            EXPECT_TRUE(HoldsOneSave(*store)) << "attempt " << attempt;
        }
    }
}

TEST_F(BaseSettingsTest, ADamagedStoreFailsTheLoadAndTheNextSaveRepairsIt)
{
    {
        TTestSettings settings;
        settings.SetRegistryKey(kKey);
        FillNonDefault(settings);
    }
    const std::string file = m_config.path() + "/Tarnwick/registry.reg";
    const std::string whole = test::ReadFile(file).value();
    // Cut the file off inside the value of "Ratio", after "Count" ... "Flag".
    test::WriteFile(file, whole.substr(0, whole.find("\"Ratio\"") + 12));

    TTestSettings settings;
    settings.SetRegistryKey(kKey);
    try {
        settings.LoadSettings();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
    }
    EXPECT_EQ(settings.m_count, -42) << "values before the damage were loaded";
    EXPECT_TRUE(settings.m_flag);
    EXPECT_DOUBLE_EQ(settings.m_ratio, 0.5);
    settings.SaveSettings();

    TTestSettings again;
    again.SetAutoLoad(false);
    again.SetRegistryKey(kKey);
    EXPECT_NO_THROW(again.LoadSettings());
    EXPECT_EQ(again.m_count, -42);
}

} // namespace
} // namespace kelvra

#include "base_settings_test.moc"
