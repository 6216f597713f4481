#include "platform/registry_file.h"
#include "platform/registry_store.h"
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

// A store of its own: XDG_CONFIG_HOME points at a fresh folder.
class RegistryStoreTest : public ::testing::Test {
protected:
    std::string StoreFile() const { return m_config.path() + "/Tarnwick/registry.reg"; }

    void WriteStoreFile(const std::string& text) const
    {
        std::filesystem::create_directories(m_config.path() + "/Tarnwick");
        test::WriteFile(StoreFile(), text);
    }

    std::unique_ptr<RegistryStore> Open(const std::string& key = kKey) const
    {
        auto store = CreateUserRegistry();
        EXPECT_TRUE(store->OpenKey(key, true));
        return store;
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

    test::TempDir m_config;
    test::ScopedEnv m_env { "XDG_CONFIG_HOME", m_config.path() };
};

TEST_F(RegistryStoreTest, ValuesOfEveryTypeRoundTripThroughTheFile)
{
    const std::string oddText = "say \"hi\"\\ \r\nnext line – ünïcode \xE9 and a\0zero";
    const std::string bytes("\0\x01\r\n\xFF", 5);
    {
        auto store = Open();
        store->WriteInteger("Count", -7);
        store->WriteString("Text", oddText);
        store->WriteExpandString("Path", "%HOME%/x");
        store->WriteBinaryData("Blob", bytes);
        store->WriteBinaryData("Nothing", "");
    }
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly("\\software\\tarnwick\\brennic\\SETTING"));
    EXPECT_EQ(store->ReadInteger("count"), -7);
    EXPECT_EQ(store->ReadString("Text"), oddText);
    EXPECT_EQ(store->ReadString("Path"), "%HOME%/x");
    EXPECT_EQ(store->ReadBinaryData("Blob"), bytes);
    EXPECT_EQ(store->GetDataType("Count"), RegDataType::Integer);
    EXPECT_EQ(store->GetDataType("Path"), RegDataType::ExpandString);
    EXPECT_EQ(store->GetDataType("Missing"), RegDataType::None);
    EXPECT_EQ(store->GetDataSize("Count"), 4);
    EXPECT_EQ(store->GetDataSize("Path"), 9); // with its terminating zero
    EXPECT_EQ(store->GetDataSize("Nothing"), 0);
    EXPECT_EQ(store->GetDataSize("Missing"), -1);
    EXPECT_FALSE(store->ValueExists("Missing"));
    EXPECT_EQ(store->ReadString("Missing"), "");
}

TEST_F(RegistryStoreTest, ReadingAValueOfAnotherTypeFails)
{
    auto store = Open();
    store->WriteString("Text", "5");
    store->WriteInteger("Number", 5);
    const struct {
        const char* name;
        std::function<void()> read;
    } cases[] = {
        { "integer_from_text", [&] { store->ReadInteger("Text"); } },
        { "integer_that_is_missing", [&] { store->ReadInteger("Missing"); } },
        { "text_from_integer", [&] { store->ReadString("Number"); } },
        { "binary_from_text", [&] { store->ReadBinaryData("Text"); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.read();
            ADD_FAILURE() << "no error";
        } catch (const RegistryError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Invalid data type for '", 0), 0u) << error.what();
        }
    }
}

TEST_F(RegistryStoreTest, WritesThatCannotBeDoneFailWithTheValueName)
{
    auto unopened = CreateUserRegistry();
    auto readOnly = Open();
    readOnly->WriteInteger("Exists", 1);
    ASSERT_TRUE(readOnly->OpenKeyReadOnly(kKey));
    auto badName = Open();
    const struct {
        const char* name;
        std::function<void()> write;
    } cases[] = {
        { "no_key_open", [&] { unopened->WriteInteger("A", 1); } },
        { "key_opened_read_only", [&] { readOnly->WriteInteger("A", 1); } },
        { "name_with_line_break", [&] { badName->WriteString("A\nB", "x"); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.write();
            ADD_FAILURE() << "no error";
        } catch (const RegistryError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, 22), "Failed to set data for");
            EXPECT_FALSE(error.detail().empty());
        }
    }
}

TEST_F(RegistryStoreTest, AStoreFolderThatCannotBeCreatedFailsTheWrite)
{
    test::WriteFile(m_config.path() + "/Tarnwick", "a file where the folder belongs");
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
    test::ScopedEnv nested("XDG_CONFIG_HOME", m_config.path() + "/a/b");
    Open()->WriteInteger("X", 1);
    EXPECT_TRUE(test::ReadFile(m_config.path() + "/a/b/Tarnwick/registry.reg").has_value());
    EXPECT_EQ(UserRegistryFilePath(), m_config.path() + "/a/b/Tarnwick/registry.reg");
}

TEST_F(RegistryStoreTest, OpeningAMissingKeyWithoutCreationFails)
{
    auto store = CreateUserRegistry();
    EXPECT_FALSE(store->OpenKeyReadOnly("Software\\Nobody"));
    EXPECT_FALSE(store->OpenKey("Software\\Nobody", false));
    EXPECT_FALSE(store->OpenKey("Software\\\\Empty part", true));
    EXPECT_FALSE(store->OpenKey("Software\\Line\nbreak", true));
    EXPECT_FALSE(test::ReadFile(StoreFile()).has_value()) << "opening alone writes nothing";
}

TEST_F(RegistryStoreTest, KeyNamesMayHoldBracketsAndQuotes)
{
    const std::string key = "Software\\Odd]Key [\"x\"]";
    Open(key)->WriteString("Name", "value");
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly(key));
    EXPECT_EQ(store->ReadString("Name"), "value");
    EXPECT_TRUE(ParseRegistryText(*test::ReadFile(StoreFile())).damage.empty());
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
    WriteStoreFile(foreign);
    Open()->WriteInteger("MLoop", 3);

    const RegistryDocument after = ParseRegistryText(*test::ReadFile(StoreFile()));
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
    WriteStoreFile(damaged);

    auto store = Open();
    EXPECT_EQ(store->ReadString("LogDir"), "/var/log/books") << "what could be read stays readable";
    EXPECT_EQ(store->ReadInteger("MLoop"), 12);
    try {
        store->ValueExists("SavePath");
        FAIL() << "a value lost in the damage was reported as missing";
    } catch (const RegistryError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(StoreFile()), std::string::npos) << message;
        EXPECT_NE(message.find("line 6"), std::string::npos) << message;
    }
    EXPECT_EQ(test::ReadFile(StoreFile()), damaged) << "reading never changes the file";

    store->WriteString("SavePath", "/home/u/Documents/Kelvra Converter");

    std::vector<std::string> copies;
    for (const std::string& name : FilesBesideStore()) {
        if (name.rfind("registry.reg.damaged-", 0) == 0)
            copies.push_back(name);
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(test::ReadFile(m_config.path() + "/Tarnwick/" + copies.front()), damaged);
    auto fresh = Open();
    EXPECT_EQ(fresh->ReadString("LogDir"), "/var/log/books");
    EXPECT_EQ(fresh->ReadInteger("MLoop"), 12);
    EXPECT_EQ(fresh->ReadString("SavePath"), "/home/u/Documents/Kelvra Converter");
    EXPECT_FALSE(fresh->ValueExists("Other")) << "after the repair a missing value is simply missing";
    store->WriteInteger("Again", 1);
    EXPECT_EQ(FilesBesideStore().size(), 3u) << "store, lock file and one copy; a sound file is not copied";
}

TEST_F(RegistryStoreTest, DamageInAnotherKeyDoesNotDisturbThisOne)
{
    WriteStoreFile("Windows Registry Editor Version 5.00\n\n"
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
    test::WriteFile(m_config.path() + "/Tarnwick", "a file where the folder belongs");
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

        const RegistryDocument document = ParseRegistryText(test::ReadFile(StoreFile()).value_or(""));
        ASSERT_TRUE(document.damage.empty()) << "round " << round << ": " << document.damage.front().reason;
        auto store = Open();
        EXPECT_EQ(store->ReadString("Before"), "kept");
    }
}

} // namespace
} // namespace kelvra
