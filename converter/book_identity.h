#pragma once

// Values the writer fills in when a reader leaves them out: a stable
// identifier (the same book always gets the same one) and a language tag
// guessed from the text.

#include "converter/book.h"

#include <string>
#include <string_view>

namespace kelvra {

/// "urn:uuid:" and a UUID derived from the book's title and text, so that
/// converting the same input twice gives the same identifier.
std::string StableIdentifier(const Book& book);

/// True for tags of the shape "en", "pt-BR", "zh-Hant-TW": a 2 to 8 letter
/// primary subtag and 1 to 8 character alphanumeric subtags.
bool IsLanguageTag(std::string_view tag);

/// A language tag for `text`: by script (Cyrillic, Greek, Arabic, Hebrew,
/// Japanese kana, Chinese, Korean), then for Latin script by counting common
/// words of a few languages; "en" when nothing decides.
std::string GuessLanguage(std::string_view text);

} // namespace kelvra
