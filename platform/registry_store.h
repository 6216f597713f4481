#pragma once

// Typed per-user settings store with the shape of the Windows registry below
// HKEY_CURRENT_USER: keys named by backslash paths, values of type REG_SZ,
// REG_EXPAND_SZ, REG_DWORD and REG_BINARY under case-insensitive names.
//
// One RegistryStore object is one accessor: it opens one key at a time, like
// a registry handle, and is meant to live for one load or one save (create
// it, use it, drop it). It is not shared between threads; each thread or
// operation creates its own.
//
// On Linux (registry_store_posix.cpp) the values live in one text file in the
// format of a registry export, $XDG_CONFIG_HOME/Tarnwick/registry.reg (default
// ~/.config/Tarnwick/registry.reg):
//   - Opening a key reads the whole file once; reads answer from that picture.
//   - Every write (or every group of writes between BeginWrites and
//     CommitWrites) is one transaction: take an exclusive flock on
//     "registry.reg.lock", read the file afresh, change the values, write a
//     temporary file, fsync, rename it over the old file, fsync the folder.
//     Two processes that write at the same time therefore keep each other's
//     values, keys and values this program does not own stay as they were,
//     and a crash leaves either the old or the new file.
//   - A damaged file (cut off, a line that does not parse, an unknown value
//     form) is read as far as it can be. Values that were read are answered
//     as usual; asking for a value that is not there, in a key the damage may
//     have cost values (for a cut-off file: any key), throws RegistryError
//     naming the file and the line, since the value may have been lost
//     there. Damage elsewhere in the file does not disturb other keys.
//     The next write copies the damaged file to
//     "registry.reg.damaged-<date>-<time>" beside it before it replaces it
//     with what could be read plus the new value, so nothing is lost; the
//     file is sound again from then on.
//   - The folder is created when missing. A key is created in the file by the
//     first value written into it (OpenKey with canCreate only allows that).
//
// A Windows implementation maps each operation 1:1 onto the Reg* functions.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvra {

/// Value types, numbered as the registry numbers them. Other numbers may be
/// met in a store written by someone else; they are kept but not readable
/// through the typed operations.
enum class RegDataType : std::uint32_t {
    None = 0, ///< no such value
    String = 1, ///< REG_SZ
    ExpandString = 2, ///< REG_EXPAND_SZ
    Binary = 3, ///< REG_BINARY
    Integer = 4, ///< REG_DWORD (little-endian 32 bits)
};

/// Raised by the store. what() is the message the user sees, exactly as the
/// callers specify it (for example "Invalid data type for 'MLoop'");
/// detail() holds the cause from the system, when there is one, for logs.
class RegistryError : public std::runtime_error {
public:
    explicit RegistryError(const std::string& message, std::string detail = {})
        : std::runtime_error(message), m_detail(std::move(detail))
    {
    }
    const std::string& detail() const { return m_detail; }

private:
    std::string m_detail;
};

/// One registry accessor rooted at HKEY_CURRENT_USER.
/// Strings are 8-bit text (UTF-8 on Linux); any bytes round-trip, including
/// quotes, backslashes, line breaks and zero bytes. Binary data is held in a
/// std::string used as a byte buffer.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    /// Makes `key` (a path below HKEY_CURRENT_USER; a leading backslash is
    /// ignored) the current key. With canCreate a missing key is accepted and
    /// comes into being with the first value written; without it, false when
    /// the key does not exist. Throws RegistryError when the store exists but
    /// cannot be read, or when a missing key may have been lost in damage.
    /// A key name may hold any character but a line break or a zero byte;
    /// false for such a name and for empty parts ("a\\b").
    virtual bool OpenKey(std::string_view key, bool canCreate) = 0;

    /// Like OpenKey without creation; the accessor then refuses every write
    /// with "Failed to set data for '%s'".
    virtual bool OpenKeyReadOnly(std::string_view key) = 0;

    /// Forgets the current key. Destroying the accessor does the same.
    virtual void CloseKey() = 0;

    /// True when the current key holds a value of that name (case ignored).
    /// This and every reader below throw RegistryError naming the file and
    /// the line when the value is missing where the file is damaged.
    virtual bool ValueExists(std::string_view name) const = 0;

    /// Type of the value, RegDataType::None when there is none.
    virtual RegDataType GetDataType(std::string_view name) const = 0;

    /// Size of the value's data in bytes, as the registry counts it (a REG_SZ
    /// includes its terminating zero, a REG_DWORD is 4); -1 when there is none.
    virtual int GetDataSize(std::string_view name) const = 0;

    /// The DWORD value. Throws RegistryError "Invalid data type for '%s'"
    /// when the value is missing or of another type.
    virtual std::int32_t ReadInteger(std::string_view name) const = 0;

    /// The text of a REG_SZ or REG_EXPAND_SZ value (environment references
    /// are not expanded); empty when the value does not exist. Throws
    /// "Invalid data type for '%s'" for a value of another type.
    virtual std::string ReadString(std::string_view name) const = 0;

    /// The bytes of a REG_BINARY value. Throws "Invalid data type for '%s'"
    /// when the value is missing or of another type.
    virtual std::string ReadBinaryData(std::string_view name) const = 0;

    /// Writers create or overwrite the value in the current key. They throw
    /// RegistryError "Failed to set data for '%s'" when no key is open, the
    /// key was opened read-only, the name cannot be stored (it holds a line
    /// break or a zero byte) or the store cannot be written; detail() then
    /// says why.
    virtual void WriteInteger(std::string_view name, std::int32_t value) = 0;
    virtual void WriteString(std::string_view name, std::string_view value) = 0;
    virtual void WriteExpandString(std::string_view name, std::string_view value) = 0;
    virtual void WriteBinaryData(std::string_view name, std::string_view bytes) = 0;

    /// Collects the writes that follow, until CommitWrites, into one change
    /// of the store: other processes and a crash see all of them or none.
    /// Until then a writer throws only for a write that can never succeed
    /// (no key open, read-only key, bad name), and reads do not see the
    /// collected values yet. Destroying the accessor before CommitWrites
    /// drops the collected writes. A store that keeps
    /// each write on its own (the Windows registry) does nothing here.
    virtual void BeginWrites() { }
    /// Stores the collected writes and ends the collection. Throws
    /// "Failed to set data for '%s'" with the first collected name when they
    /// cannot be stored; then none of them is.
    virtual void CommitWrites() { }
};

/// A new accessor on the current user's store, no key open.
std::unique_ptr<RegistryStore> CreateUserRegistry();

/// How code that reads or writes settings obtains its accessor; tests pass
/// one that opens a store of their own.
using RegistryFactory = std::function<std::unique_ptr<RegistryStore>()>;

/// Full path of the file that holds the current user's store on systems
/// without a registry; empty on Windows.
std::string UserRegistryFilePath();

} // namespace kelvra
