// The registry store on the real registry (Wine's under the cross build),
// below a test key of its own under HKEY_CURRENT_USER that each test removes
// again. What the store writes is also read back through the Win32 calls
// themselves, and what another program wrote is read through the store. The
// cases every system shares are in tests/settings/registry_store_test.cpp.

#include "platform/registry_store.h"
#include "tests/settings/registry_store_fixture.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace kelvra {

// Nothing beyond the key itself: the registry is the system's own.
class RegistryTestArea { };

RegistryStoreTest::RegistryStoreTest()
    : m_root("Software\\Tarnwick\\KelvraTest-" + std::to_string(GetCurrentProcessId()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name())
    , m_key(m_root + "\\Brennic\\Setting")
{
}

RegistryStoreTest::~RegistryStoreTest() { RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str()); }

namespace {

bool KeyExists(const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// A value as the registry itself holds it.
struct RawValue {
    DWORD type = REG_NONE;
    std::string data;
};

RawValue ReadRaw(const std::string& key, const std::string& name)
{
    RawValue value;
    char buffer[1024];
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                           buffer, &size),
              ERROR_SUCCESS);
    value.data.assign(buffer, size);
    return value;
}

void WriteRaw(const std::string& key, const std::string& name, DWORD type, const std::string& data)
{
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data.data(),
                              static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, TheRegistryHoldsTheSpecifiedTypesAndData)
{
    {
        auto store = Open();
        store->WriteInteger("MLoop", 0x01020304);
        store->WriteString("SavePath", "C:\\out");
        store->WriteBinaryData("Files", std::string("a\r\nb\r\n"));
    }
    const RawValue loop = ReadRaw(m_key, "MLoop");
    EXPECT_EQ(loop.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(loop.data, std::string("\x04\x03\x02\x01", 4));
    const RawValue path = ReadRaw(m_key, "SavePath");
    EXPECT_EQ(path.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path.data, std::string("C:\\out\0", 7));
    const RawValue files = ReadRaw(m_key, "Files");
    EXPECT_EQ(files.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(files.data, "a\r\nb\r\n");
}

TEST_F(RegistryStoreTest, ValuesOfOtherProgramsAreReadAndKept)
{
    auto store = Open();
    WriteRaw(m_key, "Language", REG_SZ, std::string("Deutsch\0", 8));
    WriteRaw(m_key, "Theirs", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    store->WriteInteger("Mine", 1);

    EXPECT_EQ(store->ReadString("LANGUAGE"), "Deutsch");
    EXPECT_EQ(static_cast<std::uint32_t>(store->GetDataType("Theirs")), static_cast<std::uint32_t>(REG_MULTI_SZ));
    EXPECT_THROW(store->ReadString("Theirs"), RegistryError);
    const RawValue theirs = ReadRaw(m_key, "Theirs");
    EXPECT_EQ(theirs.data, std::string("a\0b\0\0", 5));
}

TEST_F(RegistryStoreTest, OpeningWithCreationMakesTheKeyAndEveryParent)
{
    auto store = CreateUserRegistry();
    EXPECT_FALSE(store->OpenKey(m_key, false));
    EXPECT_FALSE(KeyExists(m_key));

    EXPECT_TRUE(store->OpenKey(m_key + "\\", true));
    EXPECT_TRUE(KeyExists(m_key));
    store->CloseKey();
    EXPECT_TRUE(store->OpenKey(m_key, false));
}

} // namespace
} // namespace kelvra
