#pragma once

// The one place that maps an input type to its reader. Readers for further
// types are added to the table in book_readers.cpp.

#include "converter/book.h"
#include "converter/format_sniffer.h"
#include "converter/source_file.h"

namespace kelvra {

/// True when this program has its own reader for `format`.
bool HasReader(BookFormat format);

/// Reads `source` with the reader for `format`. Throws InputRejected when
/// there is no reader for it or the reader refuses the content.
Book ReadBook(const SourceFile& source, BookFormat format);

} // namespace kelvra
