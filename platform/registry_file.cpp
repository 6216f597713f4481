#include "platform/registry_file.h"

#include <cstdio>
#include <optional>

namespace kelvra {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kEndMarker = "; end of settings";
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::size_t kHexLineWidth = 76;

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && RegistryNamesEqual(text.substr(0, prefix.size()), prefix);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Parses 1 to `maxDigits` hexadecimal digits filling all of `text`.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Reads a quoted text starting at text[pos] == '"'. Accepts \\ and \" as
// escapes; any other backslash stays as it is, as in hand-written paths.
// On success `pos` is just past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos)
{
    std::string result;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return result;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            result += text[++i];
            continue;
        }
        result += c;
    }
    return std::nullopt;
}

std::optional<std::string> ParseHexBytes(std::string_view text)
{
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t')
            compact += c;
    }
    std::string bytes;
    if (compact.empty())
        return bytes;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = compact.find(',', start);
        const std::string_view item = std::string_view(compact).substr(start, comma - start);
        const auto value = ParseHexNumber(item, 2);
        if (!value)
            return std::nullopt;
        bytes += static_cast<char>(*value);
        if (comma == std::string::npos)
            return bytes;
        start = comma + 1;
    }
}

struct ParsedData {
    std::uint32_t type = 0;
    std::string data;
};

// Parses the text after "=" of a value line. Returns the reason on failure.
std::optional<ParsedData> ParseData(std::string_view text, std::string& reason)
{
    if (!text.empty() && text.front() == '"') {
        std::size_t pos = 0;
        auto value = ReadQuoted(text, pos);
        if (!value) {
            reason = "a text value without its closing quote";
            return std::nullopt;
        }
        if (!Trim(text.substr(pos)).empty()) {
            reason = "text after the closing quote of a value";
            return std::nullopt;
        }
        return ParsedData { kRegSz, StringData(*value) };
    }
    if (StartsWithNoCase(text, "dword:")) {
        const auto value = ParseHexNumber(Trim(text.substr(6)), 8);
        if (!value) {
            reason = "a dword value that is not 1 to 8 hexadecimal digits";
            return std::nullopt;
        }
        return ParsedData { kRegDword, DwordData(*value) };
    }
    std::uint32_t type = kRegBinary;
    std::string_view rest;
    if (StartsWithNoCase(text, "hex:")) {
        rest = text.substr(4);
    } else if (StartsWithNoCase(text, "hex(")) {
        const std::size_t close = text.find("):");
        const auto number = close == std::string_view::npos ? std::nullopt : ParseHexNumber(text.substr(4, close - 4), 8);
        if (!number) {
            reason = "a value of an unknown type";
            return std::nullopt;
        }
        type = *number;
        rest = text.substr(close + 2);
    } else {
        reason = "a value of an unknown type";
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(rest);
    if (!bytes) {
        reason = "hexadecimal data that does not parse";
        return std::nullopt;
    }
    return ParsedData { type, std::move(*bytes) };
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text)
    {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_text.remove_prefix(3);
    }

    RegistryDocument Run()
    {
        bool headerSeen = false;
        bool endsWithMarker = false;
        while (NextLine()) {
            const std::string_view line = Trim(m_line);
            if (line.empty())
                continue;
            if (!headerSeen) {
                headerSeen = true;
                if (line == kHeader)
                    continue;
                Damage("the first line is not \"" + std::string(kHeader) + "\"", {});
            }
            endsWithMarker = line == kEndMarker;
            if (line.front() == ';')
                continue;
            if (line.front() == '[')
                ReadKeyLine(line);
            else
                ReadValueLine(line);
        }
        if (!headerSeen)
            Damage("the file is empty", {});
        else if (!endsWithMarker)
            Damage("the file ends before its last line \"" + std::string(kEndMarker) + "\"; it was cut off", {});
        return std::move(m_document);
    }

private:
    bool NextLine()
    {
        if (m_pos >= m_text.size()) {
            ++m_lineNumber; // the line after the last, for "cut off" reports
            return false;
        }
        const std::size_t end = m_text.find('\n', m_pos);
        const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
        m_line = m_text.substr(m_pos, stop - m_pos);
        if (!m_line.empty() && m_line.back() == '\r')
            m_line.remove_suffix(1);
        m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
        ++m_lineNumber;
        return true;
    }

    void Damage(std::string reason, std::string keyPath)
    {
        m_document.damage.push_back({ m_lineNumber, std::move(reason), std::move(keyPath) });
    }

    void ReadKeyLine(std::string_view line)
    {
        m_keyIndex.reset();
        const std::size_t close = line.rfind(']');
        const std::string_view path = close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
        if (close != line.size() - 1 || path.empty() || path.front() == '-') {
            m_lostValuesReported = true;
            Damage("a key line that does not parse", {});
            return;
        }
        m_document.ProvideKey(path);
        for (std::size_t i = 0; i < m_document.keys.size(); ++i) {
            if (RegistryNamesEqual(m_document.keys[i].path, path))
                m_keyIndex = i;
        }
    }

    void ReadValueLine(std::string_view line)
    {
        const int firstLine = m_lineNumber;
        std::string joined(line);
        // Hexadecimal data may continue on following lines, each ending in "\".
        while (!joined.empty() && joined.back() == '\\' && joined.find("=hex") != std::string::npos) {
            joined.pop_back();
            if (!NextLine()) {
                Damage("the file ends inside a hexadecimal value", CurrentKeyPath());
                return;
            }
            joined += Trim(m_line);
        }
        if (!m_keyIndex) {
            if (!m_lostValuesReported)
                Damage("a value line before the first key", {});
            m_lostValuesReported = true;
            return;
        }
        std::string name;
        std::size_t pos = 0;
        if (joined.front() == '@') {
            pos = 1;
        } else if (joined.front() == '"') {
            auto quoted = ReadQuoted(joined, pos);
            if (!quoted)
                return DamageAt(firstLine, "a value name without its closing quote");
            name = std::move(*quoted);
        } else {
            return DamageAt(firstLine, "a line that is neither a key nor a value");
        }
        const std::string_view rest = Trim(std::string_view(joined).substr(pos));
        if (rest.empty() || rest.front() != '=')
            return DamageAt(firstLine, "a value line without \"=\"");
        std::string reason;
        auto data = ParseData(Trim(rest.substr(1)), reason);
        if (!data)
            return DamageAt(firstLine, reason);
        m_document.keys[*m_keyIndex].SetValue(name, data->type, std::move(data->data));
    }

    void DamageAt(int line, std::string reason)
    {
        m_document.damage.push_back({ line, std::move(reason), CurrentKeyPath() });
    }

    std::string CurrentKeyPath() const
    {
        return m_keyIndex ? m_document.keys[*m_keyIndex].path : std::string();
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string_view m_line;
    int m_lineNumber = 0;
    std::optional<std::size_t> m_keyIndex;
    bool m_lostValuesReported = false;
    RegistryDocument m_document;
};

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (c < 0x80)
            length = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4;
        else
            return false;
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// A REG_SZ may be written as "text" when it reads back to the same bytes and
// stays readable: one terminating zero, valid UTF-8, no control characters.
bool FitsQuotedForm(const std::string& data)
{
    if (data.empty() || data.back() != '\0')
        return false;
    const std::string_view text(data.data(), data.size() - 1);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
    }
    return IsValidUtf8(text);
}

std::string Quote(std::string_view text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            result += '\\';
        result += c;
    }
    return result + '"';
}

void AppendHex(std::string& out, std::size_t prefixLength, std::string_view bytes)
{
    std::size_t column = prefixLength;
    char item[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(item, sizeof item, "%02x", static_cast<unsigned char>(bytes[i]));
        out += item;
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column >= kHexLineWidth) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
}

void AppendValue(std::string& out, const RegistryValue& value)
{
    const std::size_t lineStart = out.size();
    out += value.name.empty() ? std::string("@") : Quote(value.name);
    out += '=';
    if (value.type == kRegSz && FitsQuotedForm(value.data)) {
        out += Quote(std::string_view(value.data.data(), value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", DwordValue(value.data));
        out += text;
    } else {
        if (value.type == kRegBinary) {
            out += "hex:";
        } else {
            char prefix[24];
            std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
            out += prefix;
        }
        AppendHex(out, out.size() - lineStart, value.data);
    }
    out += '\n';
}

} // namespace

std::string DwordData(std::uint32_t value)
{
    std::string data(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

std::uint32_t DwordValue(std::string_view data)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i > 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data[i - 1]);
    return value;
}

std::string StringData(std::string_view text)
{
    std::string data(text);
    data += '\0';
    return data;
}

std::string StringValue(std::string_view data)
{
    if (!data.empty() && data.back() == '\0')
        data.remove_suffix(1);
    return std::string(data);
}

bool RegistryNamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const
{
    for (const RegistryValue& value : values) {
        if (RegistryNamesEqual(value.name, name))
            return &value;
    }
    return nullptr;
}

void RegistryKey::SetValue(std::string_view name, std::uint32_t type, std::string data)
{
    for (RegistryValue& value : values) {
        if (RegistryNamesEqual(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values.push_back({ std::string(name), type, std::move(data) });
}

const RegistryKey* RegistryDocument::FindKey(std::string_view path) const
{
    for (const RegistryKey& key : keys) {
        if (RegistryNamesEqual(key.path, path))
            return &key;
    }
    return nullptr;
}

RegistryKey& RegistryDocument::ProvideKey(std::string_view path)
{
    for (RegistryKey& key : keys) {
        if (RegistryNamesEqual(key.path, path))
            return key;
    }
    keys.push_back({ std::string(path), {} });
    return keys.back();
}

RegistryDocument ParseRegistryText(std::string_view text)
{
    return Parser(text).Run();
}

std::string FormatRegistryText(const RegistryDocument& document)
{
    std::string out(kHeader);
    out += "\n\n";
    for (const RegistryKey& key : document.keys) {
        out += '[';
        out += key.path;
        out += "]\n";
        for (const RegistryValue& value : key.values)
            AppendValue(out, value);
        out += '\n';
    }
    out += kEndMarker;
    out += '\n';
    return out;
}

std::optional<std::string> KeyPathBelowRoot(std::string_view key)
{
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    if (key.find("\\\\") != std::string_view::npos)
        return std::nullopt;
    if (key.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
        return std::nullopt;
    return std::string(key);
}

} // namespace kelvra
