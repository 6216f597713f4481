#pragma once

// The text form of the file-backed registry store: a registry export
// ("Windows Registry Editor Version 5.00", [HKEY_CURRENT_USER\...] sections,
// "name"="text", dword:, hex:, hex(N):) read into RegistryDocument and written
// back. Pure text processing, no file access; the POSIX store adds the file
// handling around it.
//
// Written form, chosen so that every value round-trips exactly:
//   - REG_DWORD as dword:xxxxxxxx;
//   - REG_SZ as "text" when the text is valid UTF-8 without control
//     characters (only \ and " are escaped), else as hex(1): bytes;
//   - REG_EXPAND_SZ as hex(2):, REG_BINARY as hex:, any other type N as
//     hex(N): (values of types this program never writes are kept as found);
//   - the default value of a key as @;
//   - a last line "; end of settings" that marks a complete file, so that a
//     file cut off at a line boundary is recognised as cut off.
// Reading accepts what regedit writes as well (hex lines continued with "\",
// comments starting with ";", blank lines).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

/// One value: its name as first written, its registry type number and its
/// data exactly as the registry holds it (REG_SZ text with its terminating
/// zero byte, REG_DWORD as 4 little-endian bytes).
struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

/// One key: its full path as in the file ("HKEY_CURRENT_USER\Software\...")
/// and its values in file order.
struct RegistryKey {
    std::string path;
    std::vector<RegistryValue> values;

    /// Value of that name (ASCII letter case ignored), or null.
    const RegistryValue* FindValue(std::string_view name) const;
    /// Creates or overwrites the value, keeping the name's first spelling.
    void SetValue(std::string_view name, std::uint32_t type, std::string data);
};

/// A problem found while reading: the 1-based line, what is wrong, and the key
/// whose values may be incomplete because of it (empty: any key may be).
struct RegistryDamage {
    int line = 0;
    std::string reason;
    std::string keyPath;
};

struct RegistryDocument {
    std::vector<RegistryKey> keys;
    /// Everything that could not be read; the document then holds every
    /// value that could be.
    std::vector<RegistryDamage> damage;

    const RegistryKey* FindKey(std::string_view path) const;
    /// The key of that path, appended when missing.
    RegistryKey& ProvideKey(std::string_view path);
};

/// Reads a registry export. Never fails: damaged lines are recorded in
/// `damage` and skipped.
RegistryDocument ParseRegistryText(std::string_view text);

/// Writes the keys and values of `document` (its damage list is ignored).
std::string FormatRegistryText(const RegistryDocument& document);

/// The 4 little-endian bytes of a REG_DWORD, and back (`data` must hold 4).
std::string DwordData(std::uint32_t value);
std::uint32_t DwordValue(std::string_view data);

/// The data of a REG_SZ or REG_EXPAND_SZ: the text with its terminating zero
/// byte; and back, the text without it (data without one is taken whole).
std::string StringData(std::string_view text);
std::string StringValue(std::string_view data);

/// True when two registry names are equal ignoring ASCII letter case, as the
/// registry compares key and value names.
bool RegistryNamesEqual(std::string_view a, std::string_view b);

/// A key path below HKEY_CURRENT_USER as the stores take it: leading and
/// trailing backslashes dropped. Nothing for a path that no key may have in
/// any store: empty parts ("a\\\\b"), line breaks or zero bytes.
std::optional<std::string> KeyPathBelowRoot(std::string_view key);

} // namespace kelvra
