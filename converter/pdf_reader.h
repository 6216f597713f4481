#pragma once

// Reads PDF documents with poppler: the text of every page in reading order,
// with bold and italic as the fonts say, rebuilt into paragraphs and headings
// by pdf_layout, the outline as the table of contents where the document has
// one, and the document's title, author, subject and creation date. Images
// are not taken over.

#include "converter/book.h"
#include "converter/source_file.h"

namespace kelvra {

/// Documents with more pages than this are refused rather than read for minutes.
inline constexpr int kMaxPdfPages = 20000;

/// Throws ConversionError for a document that needs a password, one without
/// any text ("no text": scanned pages) and one with too many pages, and
/// InputRejected for a file poppler cannot read.
Book ReadPdfBook(const SourceFile& source);

} // namespace kelvra
