#pragma once

// Writes a Book as a Mobipocket file (the older MOBI layout that every reader
// of the format understands): a Palm database whose first record holds the
// PalmDOC, MOBI and EXTH headers, then the book's HTML in uncompressed text
// records, then the images, then the end-of-file record. Headings stay
// headings, chapters are separated by page breaks, images are referenced by
// record index, and the metadata (title, authors, language, publisher,
// description, date, cover) goes into EXTH records. Pure: no file access.

#include "converter/book.h"

#include <string>

namespace kelvra {

struct MobiWriteOptions {
    /// Marks the book as encrypted (PalmDOC encryption type 2) without
    /// encrypting anything: the shape of a DRM-protected book, for tests.
    bool markEncrypted = false;
};

/// The whole file. Images whose bytes are no PNG, JPEG or GIF are left out.
std::string WriteMobiBook(const Book& book, const MobiWriteOptions& options = {});

} // namespace kelvra
