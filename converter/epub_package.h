#pragma once

// Turns a Book into the files of an EPUB 3 package (with an EPUB 2 NCX for
// older reading systems): the mimetype entry, container, package document,
// navigation document, NCX, style sheet, one XHTML file per chapter (large
// chapters are split), the images, and a cover page only when the book has a
// cover. Missing metadata is filled in (title, language, identifier); links
// to anchors the book does not have are dropped. Pure: no file access.

#include "converter/book.h"

#include <string>
#include <vector>

namespace kelvra {

struct PackageEntry {
    std::string name;
    std::string content;
    bool compress = true; ///< false: stored, as the "mimetype" entry must be
};

/// Chapter files grow to about this many bytes of text before the rest of the
/// chapter moves to a continuation file.
inline constexpr size_t kChapterSplitBytes = 256 * 1024;

/// The package's entries in the order they go into the archive, "mimetype"
/// first. `modifiedUtc` is the dcterms:modified value, "YYYY-MM-DDThh:mm:ssZ".
/// Throws ConversionError when the book has no chapter.
std::vector<PackageEntry> BuildEpubPackage(const Book& book, const std::string& modifiedUtc);

/// The current time in the dcterms:modified format.
std::string CurrentUtcTimestamp();

/// The media type of an image judged by its first bytes (PNG, JPEG, GIF);
/// empty when it is none of those. Other images are left out of the book.
std::string SniffImageMediaType(const std::string& data);

} // namespace kelvra
