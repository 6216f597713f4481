#pragma once

// What the EPUB writer works out once for a whole book before it writes a
// file: cleaned metadata (title, language, identifier always present), the
// chapter files (large chapters split), where every anchor ends up, which
// images go into the package and under which names, and the table of
// contents with levels that nest properly. Plain values; no thread affinity.

#include "converter/book.h"

#include <map>
#include <string>
#include <vector>

namespace kelvra {

/// One XHTML file: a whole chapter or a part of a large one. `begin` and
/// `end` point into the Book's blocks, so the Book must outlive the Layout.
struct ChapterFile {
    std::string name;  ///< file name inside the text folder
    std::string title; ///< table of contents text; empty: no entry
    int level = 1;
    std::string anchor;
    const Block* begin = nullptr;
    const Block* end = nullptr;
};

/// Where a reader's anchor lands: the file and the XML id it gets there.

struct AnchorTarget {
    std::string file;
    std::string id;
};

/// An image that goes into the package; `image` points into the Book.
struct ManifestImage {
    std::string manifestId;
    std::string fileName;
    std::string mediaType;
    const Image* image = nullptr;
};

struct TocEntry {
    std::string title;
    std::string href; ///< relative to the OEBPS folder
    int level = 1;
};

/// Everything the renderers need, worked out once for the whole book.
struct Layout {
    Metadata metadata;
    std::vector<ChapterFile> files;
    std::map<std::string, AnchorTarget> anchors;
    std::map<std::string, ManifestImage> images;
    std::string coverImageId;
    std::vector<TocEntry> toc;
};

/// Throws ConversionError when the book has no chapter with content.
Layout MakeLayout(const Book& book);

} // namespace kelvra
