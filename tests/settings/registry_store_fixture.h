#pragma once

// The fixture of the registry store tests. Each system gives every test a
// key of its own, missing when the test starts and gone after it: on POSIX
// systems a fresh store file under a temporary XDG_CONFIG_HOME, on Windows a
// test key under HKEY_CURRENT_USER that is deleted again. RegistryTestArea,
// the constructor and the destructor are defined beside that system's own
// cases. Each test runs on the test's own thread.

#include "platform/registry_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kelvra {

/// What a system needs to give the test its key (and to remove it again).
class RegistryTestArea;

class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest();
    ~RegistryStoreTest() override;

    /// A store with `key` opened, created when missing.
    std::unique_ptr<RegistryStore> Open(const std::string& key) const
    {
        auto store = CreateUserRegistry();
        EXPECT_TRUE(store->OpenKey(key, true));
        return store;
    }
    std::unique_ptr<RegistryStore> Open() const { return Open(m_key); }

    std::unique_ptr<RegistryTestArea> m_area;
    /// The test's own key; what it holds is the test's alone.
    std::string m_root;
    /// The key the tests write to: m_root + "\\Brennic\\Setting".
    std::string m_key;
};

} // namespace kelvra
