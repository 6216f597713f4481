#include "i18n/ini_file.h"

#include "core/str_to_int.h"

#include <fstream>
#include <iterator>

namespace kelvra {

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string LowerKey(std::string_view key)
{
    std::string lower(key);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// At most `limit` bytes of `text`, not ending inside a UTF-8 sequence.
std::string_view CutToLimit(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    // Step back over continuation bytes to the lead byte of the cut
    // sequence, and drop that sequence when it does not fit wholly.
    std::size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead < end || (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        end = lead;
    return text.substr(0, end);
}

} // namespace

IniFile::IniFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Parse(text);
}

IniFile IniFile::FromText(std::string_view text)
{
    IniFile file;
    file.Parse(text);
    return file;
}

void IniFile::Parse(std::string_view text)
{
    // Editors may put a UTF-8 byte order mark before the first section.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        pos = (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ? end + 2 : end + 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos)
                continue;
            const std::string_view name = TrimBlanks(line.substr(1, close - 1));
            // Of a repeated section the first one counts; the keys of later
            // ones are not seen.
            current = nullptr;
            if (m_sectionIndex.emplace(LowerKey(name), m_sections.size()).second) {
                m_sections.push_back({ std::string(name), {}, {} });
                current = &m_sections.back(); // valid until the next push_back
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        if (key.empty() || !current->index.emplace(LowerKey(key), current->entries.size()).second)
            continue; // of a repeated key the first one counts
        const std::string_view value = TrimBlanks(line.substr(equals + 1));
        current->entries.push_back({ std::string(key), std::string(CutToLimit(value, kValueBufferSize - 1)) });
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const
{
    const auto found = m_sectionIndex.find(LowerKey(name));
    return found == m_sectionIndex.end() ? nullptr : &m_sections[found->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    if (const Section* found = FindSection(section)) {
        const auto entry = found->index.find(LowerKey(key));
        if (entry != found->index.end())
            return found->entries[entry->second].value;
    }
    return std::string(defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    return TryStrToInt(ReadString(section, key, {})).value_or(defaultValue);
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> names;
    const Section* found = FindSection(section);
    if (!found)
        return names;
    std::size_t used = 1; // the zero byte that ends the list
    for (const Entry& entry : found->entries) {
        used += entry.key.size() + 1;
        if (used > kKeyListBufferSize)
            break;
        names.push_back(entry.key);
    }
    return names;
}

std::vector<std::string> IniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::string> lines;
    for (const std::string& key : ReadSection(section))
        lines.push_back(key + "=" + ReadString(section, key, {}));
    return lines;
}

} // namespace kelvra
