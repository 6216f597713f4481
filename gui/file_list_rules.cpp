#include "gui/file_list_rules.h"

namespace kelvra {

int CompareColumnTexts(std::string_view a, std::string_view b)
{
    // char_traits<char> compares as unsigned bytes.
    const int result = a.compare(b);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

std::int32_t SizeTextValue(std::string_view sizeText)
{
    std::uint32_t value = 0;
    for (const char c : sizeText) {
        if (c >= '0' && c <= '9')
            value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::int32_t>(value);
}

std::string DuplicateNameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

std::vector<std::string> SplitListFileLines(std::string_view content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(content.substr(start, i - start));
        i += (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < content.size())
        lines.emplace_back(content.substr(start));
    return lines;
}

std::string JoinListFileLines(const std::vector<std::string>& paths)
{
    std::string content;
    for (const std::string& path : paths) {
        content += path;
        content += "\r\n";
    }
    return content;
}

} // namespace kelvra
