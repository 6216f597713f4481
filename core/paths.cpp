#include "core/paths.h"

namespace kelvra {

bool IsPathDelimiter(char c, PathStyle style)
{
    if (style == PathStyle::Windows)
        return c == '\\' || c == ':';
    return c == '/';
}

char FolderDelimiter(PathStyle style)
{
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string AddTrailingBackslash(std::string_view path, PathStyle style)
{
    std::string result(path);
    const char delimiter = FolderDelimiter(style);
    if (!result.empty() && result.back() != delimiter)
        result += delimiter;
    return result;
}

namespace {

// Index just past the last delimiter, or 0 when the path has none.
std::size_t NameStart(std::string_view path, PathStyle style)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsPathDelimiter(path[i - 1], style))
            return i;
    }
    return 0;
}

} // namespace

std::string ExtractFilePath(std::string_view path, PathStyle style)
{
    return std::string(path.substr(0, NameStart(path, style)));
}

std::string ExtractFileName(std::string_view path, PathStyle style)
{
    return std::string(path.substr(NameStart(path, style)));
}

std::string ExtractFileExt(std::string_view path, PathStyle style)
{
    const std::string_view name = path.substr(NameStart(path, style));
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string FileNameWithoutExt(std::string_view path, PathStyle style)
{
    const std::string name = ExtractFileName(path, style);
    return name.substr(0, name.size() - ExtractFileExt(name, style).size());
}

std::string LowerTrim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    std::string result(text.substr(begin, end - begin));
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

bool ExtensionInList(std::string_view path, std::string_view list, PathStyle style)
{
    const std::string extension = LowerTrim(ExtractFileExt(path, style));
    return !extension.empty() && list.find(extension) != std::string::npos;
}

bool IsSupportedBookFile(std::string_view path, PathStyle style)
{
    return ExtensionInList(path, SupportedExtensions, style);
}

} // namespace kelvra
