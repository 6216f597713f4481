#pragma once

// Reads a FictionBook 2 file with libxml2 (any encoding its XML declaration
// names, windows-1251 included) and maps it to the book model: title-info to
// metadata, nested titled sections to chapters, the notes body to a notes
// chapter, inline markup to styled runs, binary images to images and the
// coverpage to the cover.

#include "converter/book.h"
#include "converter/source_file.h"

namespace kelvra {

/// Throws InputRejected when the file is not well-formed XML, not a
/// FictionBook, or holds no text.
Book ReadFb2Book(const SourceFile& source);

} // namespace kelvra
