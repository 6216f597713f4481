#include "platform/registry_file.h"
#include "platform/registry_store.h"
#include "platform/windows/windows_handle.h"

#include <optional>

namespace kelvra {

namespace {

// The registry itself: the accessor owns at most one open key handle under
// HKEY_CURRENT_USER and closes it with the key or itself; each operation is
// one Reg* call, so every write stands on its own and BeginWrites and
// CommitWrites have nothing to collect. Used by one thread at a time, like
// every accessor.
class WindowsRegistryStore final : public RegistryStore {
public:
    ~WindowsRegistryStore() override { CloseKey(); }

    bool OpenKey(std::string_view key, bool canCreate) override { return Open(key, canCreate, false); }
    bool OpenKeyReadOnly(std::string_view key) override { return Open(key, false, true); }

    void CloseKey() override
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

    bool ValueExists(std::string_view name) const override { return Query(name).has_value(); }

    RegDataType GetDataType(std::string_view name) const override
    {
        const auto value = Query(name);
        return value ? static_cast<RegDataType>(value->type) : RegDataType::None;
    }

    int GetDataSize(std::string_view name) const override
    {
        const auto value = Query(name);
        return value ? static_cast<int>(value->data.size()) : -1;
    }

    std::int32_t ReadInteger(std::string_view name) const override
    {
        const auto value = Query(name);
        if (!value || value->type != REG_DWORD || value->data.size() != 4)
            throw InvalidType(name);
        return static_cast<std::int32_t>(DwordValue(value->data));
    }

    std::string ReadString(std::string_view name) const override
    {
        const auto value = Query(name);
        if (!value)
            return {};
        if (value->type != REG_SZ && value->type != REG_EXPAND_SZ)
            throw InvalidType(name);
        return StringValue(value->data);
    }

    std::string ReadBinaryData(std::string_view name) const override
    {
        const auto value = Query(name);
        if (!value || value->type != REG_BINARY)
            throw InvalidType(name);
        return value->data;
    }

    void WriteInteger(std::string_view name, std::int32_t value) override
    {
        Write(name, REG_DWORD, DwordData(static_cast<std::uint32_t>(value)));
    }

    void WriteString(std::string_view name, std::string_view value) override
    {
        Write(name, REG_SZ, StringData(value));
    }

    void WriteExpandString(std::string_view name, std::string_view value) override
    {
        Write(name, REG_EXPAND_SZ, StringData(value));
    }

    void WriteBinaryData(std::string_view name, std::string_view bytes) override
    {
        Write(name, REG_BINARY, std::string(bytes));
    }

private:
    struct Value {
        DWORD type = REG_NONE;
        std::string data;
    };

    bool Open(std::string_view key, bool canCreate, bool readOnly)
    {
        CloseKey();
        const auto path = KeyPathBelowRoot(key);
        if (!path)
            return false;
        LONG result;
        if (canCreate) {
            result = RegCreateKeyExA(HKEY_CURRENT_USER, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
        } else {
            result = RegOpenKeyExA(HKEY_CURRENT_USER, path->c_str(), 0, readOnly ? KEY_READ : KEY_READ | KEY_WRITE,
                                   &m_key);
        }
        if (result == ERROR_ACCESS_DENIED && !readOnly) {
            // A key this user may read but not change: its values can still
            // be read, and every write fails with the value's name.
            result = RegOpenKeyExA(HKEY_CURRENT_USER, path->c_str(), 0, KEY_READ, &m_key);
            readOnly = true;
        }
        if (result == ERROR_FILE_NOT_FOUND || result == ERROR_ACCESS_DENIED) {
            // Missing, or neither readable nor creatable: no key is open, so
            // reads find nothing and writes fail with the value's name.
            m_key = nullptr;
            return false;
        }
        if (result != ERROR_SUCCESS) {
            m_key = nullptr;
            throw RegistryError("Cannot open the registry key \"HKEY_CURRENT_USER\\" + *path + "\"",
                                SystemMessage(static_cast<DWORD>(result)));
        }
        m_readOnly = readOnly;
        return true;
    }

    // The value's type and data, or nothing when the key has no such value.
    std::optional<Value> Query(std::string_view name) const
    {
        if (!m_key)
            return std::nullopt;
        const std::string valueName(name);
        Value value;
        DWORD size = 0;
        for (;;) {
            value.data.resize(size);
            DWORD got = size;
            const LONG result =
                RegQueryValueExA(m_key, valueName.c_str(), nullptr, &value.type,
                                 size ? reinterpret_cast<BYTE*>(value.data.data()) : nullptr, &got);
            if (result == ERROR_FILE_NOT_FOUND)
                return std::nullopt;
            if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && size == 0 && got > 0)) {
                size = got; // changed or first asked: ask again with room for it
                continue;
            }
            if (result != ERROR_SUCCESS)
                throw RegistryError("Cannot read the value '" + valueName + "'", SystemMessage(static_cast<DWORD>(result)));
            value.data.resize(got);
            return value;
        }
    }

    static RegistryError InvalidType(std::string_view name)
    {
        return RegistryError("Invalid data type for '" + std::string(name) + "'");
    }

    void Write(std::string_view name, DWORD type, const std::string& data)
    {
        const auto failure = [name](const std::string& detail) {
            return RegistryError("Failed to set data for '" + std::string(name) + "'", detail);
        };
        if (!m_key)
            throw failure("no key is open");
        if (m_readOnly)
            throw failure("the key was opened for reading only");
        if (name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
            throw failure("a value name cannot hold a line break or a zero byte");
        const std::string valueName(name);
        const LONG result = RegSetValueExA(m_key, valueName.c_str(), 0, type,
                                           reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        if (result != ERROR_SUCCESS)
            throw failure(SystemMessage(static_cast<DWORD>(result)));
    }

    HKEY m_key = nullptr;
    bool m_readOnly = false;
};

} // namespace

std::unique_ptr<RegistryStore> CreateUserRegistry()
{
    return std::make_unique<WindowsRegistryStore>();
}

std::string UserRegistryFilePath()
{
    return {};
}

} // namespace kelvra
