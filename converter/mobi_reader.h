#pragma once

// Reads MOBI and AZW3 (KF8) books with libmobi: loads the Palm database,
// refuses DRM-protected books, lets libmobi rebuild the HTML parts, the
// table of contents and the image resources, takes the metadata from the
// EXTH records, and maps the result with MapMobiContent. A damaged table of
// contents is left out rather than the book. A PalmDOC file
// (plain text in the same container, without a MOBI header) is read as a
// plain-text book.

#include "converter/book.h"
#include "converter/source_file.h"

namespace kelvra {

/// Throws ConversionError for a DRM-protected book (no other converter would
/// do better) and InputRejected for a file libmobi cannot read or that holds
/// no text.
Book ReadMobiBook(const SourceFile& source);

} // namespace kelvra
