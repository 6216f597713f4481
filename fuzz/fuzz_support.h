#pragma once

// Shared by the converter's libFuzzer targets: runs one reader on the fuzzer's
// bytes, builds the EPUB package from the book, and aborts when a package
// file is not well-formed XML. Refusals (ConversionError) are expected
// outcomes, not findings.

#include "converter/book.h"
#include "converter/source_file.h"

#include <cstddef>
#include <cstdint>

namespace kelvra {

using BookReaderFunction = Book (*)(const SourceFile&);

int FuzzOneReader(BookReaderFunction read, const std::uint8_t* data, std::size_t size);

} // namespace kelvra
