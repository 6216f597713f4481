// The registry store on the real registry (Wine's under the cross build),
// below a test key of its own under HKEY_CURRENT_USER that each test removes
// again. What the store writes is also read back through the Win32 calls
// themselves, and what another program wrote is read through the store.

#include "platform/registry_store.h"

#include <windows.h>

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace kelvra {
namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest()
        : m_root("Software\\Tarnwick\\KelvraTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name()),
          m_key(m_root + "\\Brennic\\Setting")
    {
    }

    ~RegistryStoreTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str()); }

    std::unique_ptr<RegistryStore> Open() const
    {
        auto store = CreateUserRegistry();
        EXPECT_TRUE(store->OpenKey(m_key, true));
        return store;
    }

    bool KeyExists(const std::string& key) const
    {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }

    // The value as the registry itself holds it.
    struct RawValue {
        DWORD type = REG_NONE;
        std::string data;
    };
    RawValue ReadRaw(const std::string& name) const
    {
        RawValue value;
        char buffer[1024];
        DWORD size = sizeof buffer;
        EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                               buffer, &size),
                  ERROR_SUCCESS);
        value.data.assign(buffer, size);
        return value;
    }

    void WriteRaw(const std::string& name, DWORD type, const std::string& data) const
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, m_key.c_str(), name.c_str(), type, data.data(),
                                  static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }

    const std::string m_root;
    const std::string m_key;
};

TEST_F(RegistryStoreTest, ValuesOfEveryTypeRoundTripThroughTheRegistry)
{
    const std::string oddText = std::string("say \"hi\"\\ \r\nnext line \xE9 and a\0zero", 35);
    const std::string bytes("\0\x01\r\n\xFF", 5);
    {
        auto store = Open();
        store->WriteInteger("Count", -7);
        store->WriteString("Text", oddText);
        store->WriteExpandString("Path", "%HOME%\\x");
        store->WriteBinaryData("Blob", bytes);
        store->WriteBinaryData("Nothing", "");
    }
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly("\\" + m_key)); // a leading backslash is ignored
    EXPECT_EQ(store->ReadInteger("count"), -7);       // names ignore letter case
    EXPECT_EQ(store->ReadString("Text"), oddText);
    EXPECT_EQ(store->ReadString("Path"), "%HOME%\\x"); // not expanded
    EXPECT_EQ(store->ReadBinaryData("Blob"), bytes);
    EXPECT_EQ(store->ReadBinaryData("Nothing"), "");
    EXPECT_EQ(store->GetDataType("Count"), RegDataType::Integer);
    EXPECT_EQ(store->GetDataType("Text"), RegDataType::String);
    EXPECT_EQ(store->GetDataType("Path"), RegDataType::ExpandString);
    EXPECT_EQ(store->GetDataType("Blob"), RegDataType::Binary);
    EXPECT_EQ(store->GetDataType("Missing"), RegDataType::None);
    EXPECT_EQ(store->GetDataSize("Count"), 4);
    EXPECT_EQ(store->GetDataSize("Path"), 9); // with its terminating zero
    EXPECT_EQ(store->GetDataSize("Nothing"), 0);
    EXPECT_EQ(store->GetDataSize("Missing"), -1);
    EXPECT_FALSE(store->ValueExists("Missing"));
    EXPECT_EQ(store->ReadString("Missing"), "");
}

TEST_F(RegistryStoreTest, TheRegistryHoldsTheSpecifiedTypesAndData)
{
    {
        auto store = Open();
        store->WriteInteger("MLoop", 0x01020304);
        store->WriteString("SavePath", "C:\\out");
        store->WriteBinaryData("Files", std::string("a\r\nb\r\n"));
    }
    const RawValue loop = ReadRaw("MLoop");
    EXPECT_EQ(loop.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(loop.data, std::string("\x04\x03\x02\x01", 4));
    const RawValue path = ReadRaw("SavePath");
    EXPECT_EQ(path.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path.data, std::string("C:\\out\0", 7));
    const RawValue files = ReadRaw("Files");
    EXPECT_EQ(files.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(files.data, "a\r\nb\r\n");
}

TEST_F(RegistryStoreTest, ValuesOfOtherProgramsAreReadAndKept)
{
    auto store = Open();
    WriteRaw("Language", REG_SZ, std::string("Deutsch\0", 8));
    WriteRaw("Theirs", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    store->WriteInteger("Mine", 1);

    EXPECT_EQ(store->ReadString("LANGUAGE"), "Deutsch");
    EXPECT_EQ(static_cast<std::uint32_t>(store->GetDataType("Theirs")), static_cast<std::uint32_t>(REG_MULTI_SZ));
    EXPECT_THROW(store->ReadString("Theirs"), RegistryError);
    const RawValue theirs = ReadRaw("Theirs");
    EXPECT_EQ(theirs.data, std::string("a\0b\0\0", 5));
}

TEST_F(RegistryStoreTest, ReadingAValueOfAnotherTypeFailsWithItsName)
{
    auto store = Open();
    store->WriteString("Text", "5");
    store->WriteInteger("Number", 5);
    const struct {
        const char* name;
        std::function<void()> read;
        const char* message;
    } cases[] = {
        {"integer_from_text", [&] { store->ReadInteger("Text"); }, "Invalid data type for 'Text'"},
        {"integer_that_is_missing", [&] { store->ReadInteger("Missing"); }, "Invalid data type for 'Missing'"},
        {"text_from_integer", [&] { store->ReadString("Number"); }, "Invalid data type for 'Number'"},
        {"binary_from_text", [&] { store->ReadBinaryData("Text"); }, "Invalid data type for 'Text'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.read();
            ADD_FAILURE() << "no error";
        } catch (const RegistryError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST_F(RegistryStoreTest, WritesThatCannotBeDoneFailWithTheValueName)
{
    auto unopened = CreateUserRegistry();
    auto readOnly = Open();
    readOnly->WriteInteger("Exists", 1);
    ASSERT_TRUE(readOnly->OpenKeyReadOnly(m_key));
    auto badName = Open();
    const struct {
        const char* name;
        std::function<void()> write;
    } cases[] = {
        {"no_key_open", [&] { unopened->WriteInteger("A", 1); }},
        {"key_opened_read_only", [&] { readOnly->WriteInteger("A", 1); }},
        {"name_with_line_break", [&] { badName->WriteString("A\nB", "x"); }},
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
    EXPECT_EQ(readOnly->ReadInteger("Exists"), 1);
    EXPECT_FALSE(readOnly->ValueExists("A"));
}

TEST_F(RegistryStoreTest, OpeningMissingKeysAndKeysWithBadNames)
{
    auto store = CreateUserRegistry();
    EXPECT_FALSE(store->OpenKey(m_key, false));
    EXPECT_FALSE(store->OpenKeyReadOnly(m_key));
    EXPECT_FALSE(KeyExists(m_key));
    for (const std::string& bad : {m_root + "\\\\twice", m_root + "\\line\nbreak"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(store->OpenKey(bad, true));
    }

    EXPECT_TRUE(store->OpenKey(m_key + "\\", true)); // created with every missing parent
    EXPECT_TRUE(KeyExists(m_key));
    store->CloseKey();
    EXPECT_THROW(store->WriteInteger("A", 1), RegistryError);
    EXPECT_TRUE(store->OpenKey(m_key, false));
}

} // namespace
} // namespace kelvra
