#pragma once

// The Windows numbers an RTF document names its text encodings and language
// by, translated for iconv and for the book's metadata.

#include <string>

namespace kelvra {

/// The code page of an RTF font charset (\fcharsetN); `fallback` for the
/// ANSI and default charsets and for unknown ones.
int CodePageOfCharset(int charset, int fallback);

/// The iconv name of a Windows code page: "CP1251", "MACINTOSH", "UTF-8".
std::string EncodingName(int codePage);

/// The language tag of a Windows language number (\deflangN); empty when unknown.
std::string LanguageOfLcid(int lcid);

} // namespace kelvra
