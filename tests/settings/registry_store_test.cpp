// The registry store, the cases every system shares: values of every type
// written and read back, reads of another type, writes that cannot be done,
// and keys that are missing or badly named.

#include "platform/registry_store.h"
#include "tests/settings/registry_store_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

namespace kelvra {
namespace {

TEST_F(RegistryStoreTest, ValuesOfEveryTypeRoundTrip)
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
    std::string otherCase = m_key;
    std::transform(otherCase.begin(), otherCase.end(), otherCase.begin(),
                   [](unsigned char c) { return static_cast<char>(std::islower(c) ? std::toupper(c) : std::tolower(c)); });
    auto store = CreateUserRegistry();
    ASSERT_TRUE(store->OpenKeyReadOnly("\\" + otherCase)); // a leading backslash and letter case are ignored
    EXPECT_EQ(store->ReadInteger("count"), -7);            // names ignore letter case
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
    for (const std::string& bad : {m_root + "\\\\twice", m_root + "\\line\nbreak"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(store->OpenKey(bad, true));
    }

    EXPECT_TRUE(store->OpenKey(m_key + "\\", true)); // a trailing backslash is ignored
    store->CloseKey();
    EXPECT_THROW(store->WriteInteger("A", 1), RegistryError);
}

} // namespace
} // namespace kelvra
