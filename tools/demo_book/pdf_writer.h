#pragma once

// Writes a Book as a plain PDF for tests and the benchmark: A5 pages set in
// the standard Helvetica fonts (bold and italic runs in their own faces,
// headings larger), ragged right, paragraphs a little apart, each chapter on
// a new page, chapter titles in the outline, and the title, authors and
// description in the document information. Text outside Latin-1 is written
// as "?". Images are not drawn. Pure: no file access.

#include "converter/book.h"

#include <string>

namespace kelvra {

struct PdfWriteOptions {
    bool outline = true;
    /// Pages carry only drawn shapes, as a scan without a text layer would.
    bool textLayer = true;
    /// Adds an encryption dictionary whose user password is not empty, so
    /// the document cannot be opened without it. Nothing is encrypted.
    bool needsPassword = false;
};

std::string WritePdfBook(const Book& book, const PdfWriteOptions& options = {});

/// A document of `pageCount` empty pages.
std::string WriteEmptyPagesPdf(int pageCount);

} // namespace kelvra
