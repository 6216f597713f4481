#pragma once

// A real settings store for window tests: XDG_CONFIG_HOME points at a fresh
// temporary folder for the fixture's life, so the store file is the one the
// program would use, and nothing of the user's own settings is touched.

#include "platform/registry_store.h"
#include "tests/support/test_files.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvra::test {

class StoreFixture {
public:
    StoreFixture()
        : m_env("XDG_CONFIG_HOME", m_config.path())
    {
    }

    /// An accessor opened read-only on `key`; null when the key is missing.
    std::unique_ptr<RegistryStore> Open(const std::string& key) const
    {
        auto store = CreateUserRegistry();
        if (!store->OpenKeyReadOnly(key))
            return nullptr;
        return store;
    }

    void WriteString(const std::string& key, const std::string& name, const std::string& value) const
    {
        auto store = CreateUserRegistry();
        store->OpenKey(key, true);
        store->WriteString(name, value);
    }

    void WriteInteger(const std::string& key, const std::string& name, std::int32_t value) const
    {
        auto store = CreateUserRegistry();
        store->OpenKey(key, true);
        store->WriteInteger(name, value);
    }

    const std::string& ConfigHome() const { return m_config.path(); }

private:
    TempDir m_config;
    ScopedEnv m_env;
};

} // namespace kelvra::test
