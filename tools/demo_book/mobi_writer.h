#pragma once

// Writes a Book as a Mobipocket file, in either of the format's two layouts:
// - MOBI: the older layout every reader understands; the book's HTML in one
//   text, chapters separated by page breaks, images by record index, and
//   the table of contents as an NCX index of byte positions.
// - AZW3 (KF8): one XHTML file per chapter, held as skeletons and fragments
//   described by two index records, and the table of contents as an NCX index.
// Both keep headings as headings and put the metadata (title, authors,
// language, publisher, description, date, cover) into EXTH records. Text
// records are stored uncompressed. Pure: no file access.

#include "converter/book.h"

#include <string>

namespace kelvra {

struct MobiWriteOptions {
    /// Marks the book as encrypted (PalmDOC encryption type 2) without
    /// encrypting anything: the shape of a DRM-protected book, for tests.
    bool markEncrypted = false;
};

/// The whole MOBI file. Images whose bytes are no PNG, JPEG or GIF are left out.
std::string WriteMobiBook(const Book& book, const MobiWriteOptions& options = {});

/// The whole AZW3 file; chapters with a title make its table of contents.
/// Throws std::length_error for a book with more chapters than one index
/// record holds (some thousands).
std::string WriteAzw3Book(const Book& book, const MobiWriteOptions& options = {});

/// A PalmDOC file: `text` (any encoding; PalmDOC names none) in the records
/// of the same container, without a MOBI header.
std::string WritePalmDocText(const std::string& name, const std::string& text);

} // namespace kelvra
