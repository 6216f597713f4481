#pragma once

// Reads a plain-text book: finds its encoding, makes paragraphs at blank lines
// (and at indented or very long lines where a text uses those instead), and
// starts a new chapter at every recognised chapter heading, so the book's
// table of contents has one entry per chapter.

#include "converter/book.h"
#include "converter/source_file.h"

#include <string_view>

namespace kelvra {

/// Throws InputRejected when the text holds nothing but white space.
Book ReadTxtBook(const SourceFile& source);

/// The same, for text already decoded to UTF-8; `title` becomes the book's title.
Book BookFromPlainText(std::string_view utf8, const std::string& title);

} // namespace kelvra
