#pragma once

// The language of kelvra: which language file is used, and the table of
// message texts loaded from its [Strings] section.
//
// Start-up, on the main thread, before any window exists:
//     LanguageFile = ChooseLanguageFile("Software\\Tarnwick\\Brennic\\Language", AppFolder());
//     LoadLanguageStrings(LanguageStrings, 450, LanguageFile, "Strings");
// Afterwards both are only read: LanguageStrings[13] is language string 13.
// Language files are 8-bit text; a value is taken as UTF-8 when it is valid
// UTF-8, else as Latin-1, so that no byte is dropped.

#include "platform/registry_store.h"

#include <QString>

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace kelvra {

inline constexpr int LanguageStringCount = 451;
using LanguageTable = std::array<QString, LanguageStringCount>;

/// Process-wide: the message texts (all empty until loaded) and the full
/// path of the chosen language file (empty until chosen; need not exist).
inline LanguageTable LanguageStrings;
inline std::string LanguageFile;

/// The language file to use: the registry value named by the last part of
/// `registryPath` (below HKEY_CURRENT_USER), ".lng" appended unless it ends
/// so (letter case ignored), taken relative to `appFolder`; the
/// application folder's "English.lng" when that file does not exist or the
/// registry cannot be read.
std::string ChooseLanguageFile(std::string_view registryPath, std::string_view appFolder,
    const RegistryFactory& registry = CreateUserRegistry);

/// Fills table[0 .. highestIndex] (bounded by the table's size) from the keys
/// "0", "1", ... of `section`; "||" in a value becomes CR LF; an empty or
/// missing value leaves the entry as it was. Returns true.
bool LoadLanguageStrings(std::span<QString> table, int highestIndex, const std::string& file, std::string_view section);

/// Text of a language file as a QString (UTF-8 when valid, else Latin-1).
QString DecodeLanguageText(std::string_view text);

/// Replaces every "||" by CR LF.
QString ExpandLineBreaks(const QString& text);

} // namespace kelvra
