#pragma once

// Reads an RTF document with a parser of our own: groups and destinations
// (font, colour and style tables and unknown "\*" destinations skipped),
// \info title and author, paragraphs, bold, italic, underline, strike,
// super- and subscript, \uN with its fallback skipped by \ucN, \'hh in the
// document's or the font's code page, hyperlink fields, footnotes (collected
// into a notes chapter), headings by outline level or heading style, and PNG
// and JPEG pictures.

#include "converter/book.h"
#include "converter/source_file.h"

namespace kelvra {

/// Throws InputRejected when the file is not RTF, is cut off (groups left
/// open), nests too deeply, or holds no text.
Book ReadRtfBook(const SourceFile& source);

} // namespace kelvra
