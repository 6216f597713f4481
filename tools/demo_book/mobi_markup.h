#pragma once

// The markup of a book in the two dialects of the format: the older MOBI
// HTML (page breaks between chapters, images by record index, internal links
// as byte offsets into the text) and KF8 XHTML (one file per chapter, images
// as kindle:embed references, internal links as kindle:pos positions that
// point at elements with an id).

#include "converter/book.h"

#include <map>
#include <string>
#include <vector>

namespace kelvra::mobi {

enum class Dialect { Mobi6, Kf8 };

struct Markup {
    std::string text;                  ///< every chapter's markup, one after the other
    std::vector<size_t> chapterStarts; ///< where each chapter's markup begins in `text`
};

/// `imageNumbers` gives each usable image its number, counted from 1 in
/// the order of the image records. The text begins with `lead`, so that
/// byte offsets count from the start of the file's text. For KF8 each
/// chapter's markup is the content of its body element.
Markup BookMarkup(const Book& book, const std::map<std::string, size_t>& imageNumbers, Dialect dialect,
                  const std::string& lead = {});

/// The four- and ten-digit base-32 numbers of kindle: references.
std::string Base32(std::uint32_t value, size_t digits);

} // namespace kelvra::mobi
