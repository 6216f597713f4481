#include "converter/xml_text.h"

#include <array>

namespace kelvra {

namespace {

/// Decodes one UTF-8 sequence at `text[i]`; returns the code point and sets
/// `length`, or returns -1 (length 1) for an invalid sequence.
long DecodeOne(std::string_view text, size_t i, size_t& length)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    length = 1;
    if (lead < 0x80)
        return lead;
    int extra = 0;
    long cp = 0;
    long minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return -1;
    }
    if (i + extra >= text.size())
        return -1;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = byte(i + k);
        if ((c & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    length = static_cast<size_t>(extra) + 1;
    return cp;
}

bool AllowedInXml(long cp)
{
    if (cp < 0x20)
        return cp == 0x09 || cp == 0x0A || cp == 0x0D;
    return cp != 0xFFFE && cp != 0xFFFF;
}

/// What a byte needs on its way into XML text.
enum class ByteKind : unsigned char { Plain, Markup, Other };

/// Plain: printable ASCII and tab, LF, CR, copied as they are; Markup: the
/// characters EscapeXml replaces; Other: controls and the bytes of
/// multi-byte sequences, which are looked at one by one.
constexpr std::array<ByteKind, 256> kByteKinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        const bool plain = (c >= 0x20 && c < 0x80) || c == 0x09 || c == 0x0A || c == 0x0D;
        kinds[c] = plain ? ByteKind::Plain : ByteKind::Other;
    }
    for (const unsigned char c : {'&', '<', '>', '"'})
        kinds[c] = ByteKind::Markup;
    return kinds;
}();

/// Appends `text` repaired as SanitizeUtf8 does, and with markup escaped when
/// `escape` is set. Runs of plain bytes, nearly all of a book, are copied in
/// one go.
void AppendCleanXml(std::string& out, std::string_view text, bool escape)
{
    size_t i = 0;
    while (i < text.size()) {
        size_t plainEnd = i;
        while (plainEnd < text.size()) {
            const ByteKind kind = kByteKinds[static_cast<unsigned char>(text[plainEnd])];
            if (kind == ByteKind::Other || (kind == ByteKind::Markup && escape))
                break;
            ++plainEnd;
        }
        out.append(text.data() + i, plainEnd - i);
        i = plainEnd;
        if (i >= text.size())
            break;
        switch (text[i]) {
        case '&': out += "&amp;"; ++i; continue;
        case '<': out += "&lt;"; ++i; continue;
        case '>': out += "&gt;"; ++i; continue;
        case '"': out += "&quot;"; ++i; continue;
        default: break;
        }
        size_t length = 0;
        const long cp = DecodeOne(text, i, length);
        if (cp < 0)
            AppendUtf8(out, 0xFFFD);
        else if (AllowedInXml(cp))
            out.append(text.substr(i, length));
        i += length;
    }
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        size_t length = 0;
        if (DecodeOne(text, i, length) < 0)
            return false;
        i += length;
    }
    return true;
}

std::string SanitizeUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendCleanXml(out, text, false);
    return out;
}

std::string EscapeXml(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    AppendCleanXml(out, text, true);
    return out;
}

void AppendEscapedXml(std::string& out, std::string_view text)
{
    AppendCleanXml(out, text, true);
}

std::string CollapseWhitespace(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (const char c : text) {
        if (IsBlank(c)) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

} // namespace kelvra
