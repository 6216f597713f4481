// The registry store on POSIX systems, where it keeps its keys in one file
// under XDG_CONFIG_HOME: the file's folder, keys and values of other
// programs, damage, collected writes and several processes writing at once.
// The cases every system shares are in registry_store_test.cpp.

#include "platform/registry_file.h"
#include "platform/registry_store.h"
#include "tests/settings/registry_store_fixture.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace kelvra {
namespace {

constexpr const char* kKey = "Software\\Tarnwick\\Brennic\\Setting";

} // namespace

// A store of its own: XDG_CONFIG_HOME points at a fresh folder.
class RegistryTestArea {
public:
    std::string ConfigFolder() const { return m_config.path(); }
    std::string StoreFile() const { return m_config.path() + "/Tarnwick/registry.reg"; }

    void WriteStoreFile(const std::string& text) const
    {
        std::filesystem::create_directories(m_config.path() + "/Tarnwick");
        test::WriteFile(StoreFile(), text);
    }

    std::vector<std::string> FilesBesideStore() const
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir((m_config.path() + "/Tarnwick").c_str())) {
            while (const dirent* entry = readdir(dir)) {
                if (entry->d_name[0] != '.')
                    names.push_back(entry->d_name);
            }
            closedir(dir);
        }
        return names;
    }

private:
    test::TempDir m_config;
    test::ScopedEnv m_env { "XDG_CONFIG_HOME", m_config.path() };
};

RegistryStoreTest::RegistryStoreTest()
    : m_area(std::make_unique<RegistryTestArea>())
    , m_root("Software\\Tarnwick")
    , m_key(kKey)
{
}

RegistryStoreTest::~RegistryStoreTest() = default;

namespace {

TEST_F(RegistryStoreTest, Utf8TextRoundTripsThroughTheFile)
{
    const std::string text = "next line \xE2\x80\x93 \xC3\xBCn\xC3\xAFcode";
    Open()->WriteString("Text", text);
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly(kKey));
    EXPECT_EQ(store->ReadString("Text"), text);
}

TEST_F(RegistryStoreTest, OpeningAMissingKeyWritesNothing)
{
    auto store = CreateUserRegistry();
    EXPECT_FALSE(store->OpenKeyReadOnly(kKey));
    EXPECT_FALSE(store->OpenKey(kKey, false));
    EXPECT_FALSE(store->OpenKey("Software\\\\Empty part", true));
    EXPECT_FALSE(test::ReadFile(m_area->StoreFile()).has_value()) << "opening alone writes nothing";
}

TEST_F(RegistryStoreTest, AStoreFolderThatCannotBeCreatedFailsTheWrite)
{
    test::WriteFile(m_area->ConfigFolder() + "/Tarnwick", "a file where the folder belongs");
    auto store = Open();
    try {
        store->WriteInteger("MLoop", 1);
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'MLoop'");
        EXPECT_NE(error.detail().find("Tarnwick"), std::string::npos) << error.detail();
    }
}

TEST_F(RegistryStoreTest, CreatesTheMissingFolderUnderXdgConfigHome)
{
    test::ScopedEnv nested("XDG_CONFIG_HOME", m_area->ConfigFolder() + "/a/b");
    Open()->WriteInteger("X", 1);
    EXPECT_TRUE(test::ReadFile(m_area->ConfigFolder() + "/a/b/Tarnwick/registry.reg").has_value());
    EXPECT_EQ(UserRegistryFilePath(), m_area->ConfigFolder() + "/a/b/Tarnwick/registry.reg");
}

TEST_F(RegistryStoreTest, KeyNamesMayHoldBracketsAndQuotes)
{
    const std::string key = "Software\\Odd]Key [\"x\"]";
    Open(key)->WriteString("Name", "value");
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly(key));
    EXPECT_EQ(store->ReadString("Name"), "value");
    EXPECT_TRUE(ParseRegistryText(*test::ReadFile(m_area->StoreFile())).damage.empty());
}

TEST_F(RegistryStoreTest, KeysAndValuesOfOthersAreKeptAsTheyWere)
{
    const std::string foreign = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Other]\n"
                                "\"Multi\"=hex(7):61,00,62,00,00\n"
                                "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic\\Setting]\n"
                                "\"NotOurs\"=\"keep me\"\n\n"
                                "; end of settings\n";
    m_area->WriteStoreFile(foreign);
    Open()->WriteInteger("MLoop", 3);

    const RegistryDocument after = ParseRegistryText(*test::ReadFile(m_area->StoreFile()));
    ASSERT_TRUE(after.damage.empty());
    const RegistryKey* other = after.FindKey("HKEY_CURRENT_USER\\Software\\Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->FindValue("Multi")->type, 7u);
    EXPECT_EQ(other->FindValue("Multi")->data, std::string("a\0b\0\0", 5));
    EXPECT_EQ(other->FindValue("Qword")->data, "\x01\x02\x03\x04\x05\x06\x07\x08");
    auto store = Open();
    EXPECT_EQ(store->ReadString("NotOurs"), "keep me");
    EXPECT_EQ(store->ReadInteger("MLoop"), 3);
    EXPECT_EQ(store->GetDataType("Multi"), RegDataType::None);
}

TEST_F(RegistryStoreTest, ADamagedFileIsReportedAndCopiedBeforeItIsReplaced)
{
    // Cut off in the middle of the third value.
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic\\Setting]\n"
                                "\"LogDir\"=\"/var/log/books\"\n"
                                "\"MLoop\"=dword:0000000c\n"
                                "\"SavePath\"=\"/home/u/Doc";
    m_area->WriteStoreFile(damaged);

    auto store = Open();
    EXPECT_EQ(store->ReadString("LogDir"), "/var/log/books") << "what could be read stays readable";
    EXPECT_EQ(store->ReadInteger("MLoop"), 12);
    try {
        store->ValueExists("SavePath");
        FAIL() << "a value lost in the damage was reported as missing";
    } catch (const RegistryError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(m_area->StoreFile()), std::string::npos) << message;
        EXPECT_NE(message.find("line 6"), std::string::npos) << message;
    }
    EXPECT_EQ(test::ReadFile(m_area->StoreFile()), damaged) << "reading never changes the file";

    store->WriteString("SavePath", "/home/u/Documents/Kelvra Converter");

    std::vector<std::string> copies;
    for (const std::string& name : m_area->FilesBesideStore()) {
        if (name.rfind("registry.reg.damaged-", 0) == 0)
            copies.push_back(name);
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(test::ReadFile(m_area->ConfigFolder() + "/Tarnwick/" + copies.front()), damaged);
    auto fresh = Open();
    EXPECT_EQ(fresh->ReadString("LogDir"), "/var/log/books");
    EXPECT_EQ(fresh->ReadInteger("MLoop"), 12);
    EXPECT_EQ(fresh->ReadString("SavePath"), "/home/u/Documents/Kelvra Converter");
    EXPECT_FALSE(fresh->ValueExists("Other")) << "after the repair a missing value is simply missing";
    store->WriteInteger("Again", 1);
    EXPECT_EQ(m_area->FilesBesideStore().size(), 3u) << "store, lock file and one copy; a sound file is not copied";
}

TEST_F(RegistryStoreTest, DamageInAnotherKeyDoesNotDisturbThisOne)
{
    m_area->WriteStoreFile("Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Other]\n"
                                 "\"Broken\"=dword:zz\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Brennic\\Setting]\n"
                                 "\"LogDir\"=\"x\"\n\n"
                                 "; end of settings\n");
    auto store = Open();
    EXPECT_FALSE(store->ValueExists("Missing"));
    auto other = CreateUserRegistry();
    ASSERT_TRUE(other->OpenKeyReadOnly("Software\\Other"));
    EXPECT_THROW(other->ValueExists("Broken"), RegistryError);
}

TEST_F(RegistryStoreTest, CollectedWritesAreStoredTogether)
{
    {
        auto store = Open();
        store->BeginWrites();
        store->WriteInteger("A", 1);
        store->WriteString("B", "two");
        EXPECT_FALSE(Open()->ValueExists("A")) << "nothing is stored before the commit";
        store->CommitWrites();
        store->WriteInteger("C", 3); // after the commit each write is stored at once
        EXPECT_EQ(Open()->ReadInteger("C"), 3);
    }
    auto store = Open();
    EXPECT_EQ(store->ReadInteger("A"), 1);
    EXPECT_EQ(store->ReadString("B"), "two");

    {
        auto dropped = Open();
        dropped->BeginWrites();
        dropped->WriteInteger("D", 4);
    }
    EXPECT_FALSE(Open()->ValueExists("D")) << "an accessor dropped before the commit stores nothing";
}

TEST_F(RegistryStoreTest, ACommitThatCannotBeStoredNamesTheFirstValue)
{
    test::WriteFile(m_area->ConfigFolder() + "/Tarnwick", "a file where the folder belongs");
    auto store = Open();
    store->BeginWrites();
    store->WriteInteger("First", 1);
    store->WriteInteger("Second", 2);
    try {
        store->CommitWrites();
        FAIL() << "no error";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'First'");
    }
}

// Each child process writes its own values, one transaction each.
void WriteValuesInChild(int child, int count)
{
    auto store = CreateUserRegistry();
    store->OpenKey(kKey, true);
    for (int i = 0; i < count; ++i)
        store->WriteInteger("child" + std::to_string(child) + "_" + std::to_string(i), i);
}

TEST_F(RegistryStoreTest, ProcessesWritingAtOnceKeepEachOthersValues)
{
    constexpr int kChildren = 4;
    constexpr int kValues = 40;
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int code = 0;
            try {
                WriteValuesInChild(child, kValues);
            } catch (...) {
                code = 1;
            }
            _exit(code);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto store = Open();
    for (int child = 0; child < kChildren; ++child) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "child" + std::to_string(child) + "_" + std::to_string(i);
            ASSERT_TRUE(store->ValueExists(name)) << name;
            EXPECT_EQ(store->ReadInteger(name), i);
        }
    }
}

TEST_F(RegistryStoreTest, AWriterKilledMidwayLeavesAWholeFile)
{
    Open()->WriteString("Before", "kept");
    const std::string big(200000, 'x'); // large enough that a kill lands inside a write
    for (int round = 0; round < 8; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto store = CreateUserRegistry();
            store->OpenKey(kKey, true);
            for (int i = 0;; ++i)
                store->WriteString("Big" + std::to_string(i % 5), big + std::to_string(i));
        }
        usleep(static_cast<useconds_t>(20000 + round * 7000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const RegistryDocument document = ParseRegistryText(test::ReadFile(m_area->StoreFile()).value_or(""));
        ASSERT_TRUE(document.damage.empty()) << "round " << round << ": " << document.damage.front().reason;
        auto store = Open();
        EXPECT_EQ(store->ReadString("Before"), "kept");
    }
}

} // namespace
} // namespace kelvra
