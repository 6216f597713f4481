#pragma once

// Text made safe for XML 1.0 documents: characters that XML forbids are
// dropped, invalid UTF-8 becomes U+FFFD, and markup characters are escaped.

#include <string>
#include <string_view>

namespace kelvra {

/// Repairs UTF-8: invalid or overlong sequences and surrogates become U+FFFD;
/// characters XML 1.0 forbids (C0 controls other than tab, LF and CR; U+FFFE,
/// U+FFFF) are dropped.
std::string SanitizeUtf8(std::string_view text);

/// SanitizeUtf8, then "&", "<", ">" and '"' escaped, so the result can stand in
/// element content and in double-quoted attributes.
std::string EscapeXml(std::string_view text);

/// EscapeXml appended to `out`, without a string of its own.
void AppendEscapedXml(std::string& out, std::string_view text);

/// Appends one code point as UTF-8 (invalid code points become U+FFFD).
void AppendUtf8(std::string& out, char32_t codePoint);

/// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

/// True for the white space that CollapseWhitespace folds.
inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

/// Collapses every run of white space to one blank and trims both ends.
std::string CollapseWhitespace(std::string_view text);

} // namespace kelvra
