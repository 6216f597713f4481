#pragma once

// Writes a Book as an EPUB file: the package built by BuildEpubPackage, zipped
// with the "mimetype" entry first and stored.

#include "converter/book.h"

#include <string>

namespace kelvra {

/// Creates or replaces the EPUB at `path`. Throws ConversionError. The caller
/// keeps a half-written file from being seen (see StagedOutput).
void WriteEpub(const Book& book, const std::string& path);

} // namespace kelvra
