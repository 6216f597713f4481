#pragma once

// Maps what libmobi makes of a MOBI or AZW3 file (its HTML parts, the NCX it
// builds from the book's own table of contents, its image resources and the
// metadata) to the book model: chapters begin where the table of contents
// points (the NCX, or else a contents page of links in the text), or, in a
// book without one, at its top headings; page breaks and
// part boundaries also begin chapters. Kept apart from libmobi so that the
// mapping can be tested and fuzzed on its own. Pure; no thread affinity.

#include "converter/book.h"

#include <string>
#include <vector>

namespace kelvra {

struct MobiResource {
    size_t uid = 0; ///< libmobi's resource number, as in "resource00001.jpg"
    std::string bytes;
};

struct MobiContent {
    Metadata metadata;
    std::vector<std::string> partNames; ///< "part00000.html" and so on, as links name them
    std::vector<std::string> parts;     ///< the HTML of each part, in reading order
    std::string ncx;                    ///< the NCX document; empty when the book has no table of contents
    std::vector<MobiResource> images;
    long coverUid = -1; ///< the resource holding the cover; -1 for none
};

/// Throws InputRejected when the parts hold no text and no image.
/// `fallbackTitle` titles a book whose metadata names none.
Book MapMobiContent(const MobiContent& content, const std::string& fallbackTitle);

} // namespace kelvra
