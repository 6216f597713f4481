#pragma once

// IniFile: reader of INI text (the language files), with the rules of the
// system's profile reader:
//   - "[name]" opens a section; "key=value" gives a value; the first "="
//     splits; blanks (spaces, tabs) around keys and values are dropped;
//   - section names and keys are compared without regard to ASCII letter
//     case; of a repeated section or key the first one counts;
//   - lines end at CR LF, CR or LF; lines starting with ";" are comments;
//     a UTF-8 byte order mark at the start is skipped;
//     lines without "=" give no key;
//   - at most kValueBufferSize - 1 (2047) bytes of a value are seen, cut
//     before a UTF-8 sequence rather than inside it;
//   - the key names of a section are listed through a buffer of
//     kKeyListBufferSize (16384) bytes: each name takes its length plus one
//     zero byte, one more zero byte ends the list; names that do not fit
//     wholly are not seen.
// The file is read once, in the constructor, and closed again. Any bytes are
// accepted (binary junk reads as text, very long lines are cut as above).
// Plain C++, usable from any thread; an instance is not shared.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvra {

class IniFile {
public:
    static constexpr std::size_t kValueBufferSize = 2048;
    static constexpr std::size_t kKeyListBufferSize = 16384;

    /// Reads `path`; a missing or unreadable file reads as an empty one.
    explicit IniFile(const std::string& path);

    /// Builds the reader from INI text already in memory.
    static IniFile FromText(std::string_view text);

    /// The value of `key` in `section`, or `defaultValue` when there is none.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    /// The value read as an integer (TryStrToInt: decimal, or hexadecimal
    /// after "$" or "0x"), `defaultValue` when the key is missing or its
    /// value is not a number.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

    /// Key names of `section` in file order, as far as the key-list buffer
    /// holds them.
    std::vector<std::string> ReadSection(std::string_view section) const;

    /// "key=value" for every name of ReadSection, with the value ReadString
    /// gives.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

private:
    IniFile() = default;
    void Parse(std::string_view text);

    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries; // the first of each key, in file order
        std::unordered_map<std::string, std::size_t> index; // lower-case key -> entry
    };
    const Section* FindSection(std::string_view name) const;

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex; // lower-case name -> section
};

} // namespace kelvra
