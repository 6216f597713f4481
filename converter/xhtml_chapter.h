#pragma once

// Writes the XHTML documents of an EPUB: the common document head and one
// chapter file, with blocks as HTML elements, styled runs, resolved links
// and images. Used by BuildEpubPackage; single thread.

#include "converter/epub_layout.h"

#include <set>
#include <string>

namespace kelvra {

/// The XML declaration, doctype and head of an XHTML document in the book's language.
std::string XhtmlHead(const Layout& layout, const std::string& title, const std::string& cssHref);

/// The XHTML of one chapter file. `placedIds` collects the ids already
/// written in the book, so an anchor the reader repeated is placed once.
std::string RenderChapterFile(const Layout& layout, const ChapterFile& file, std::set<std::string>& placedIds);

} // namespace kelvra
