#pragma once

// Turns the HTML documents of an e-book (the text of a MOBI file, the parts of
// a KF8 file) into a flat list of book blocks: headings stay headings with
// their level, paragraphs keep bold, italic and the other inline styles,
// links and element ids become links and anchors of the book, images become
// image blocks or inline images, and page breaks and the start of each
// document are remembered as places where a chapter may begin. Parses with
// libxml2's forgiving HTML parser, so broken markup never stops it. Owned by
// the reader that fills it; no thread affinity (AddDocuments starts and ends
// threads of its own).

#include "converter/book.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

struct HtmlBlocks {
    std::vector<Block> blocks;
    /// Indexes into `blocks` where a document begins or a page break stands,
    /// ascending, without repeats.
    std::vector<size_t> breaks;
    /// Every anchor of the book (see HtmlAnchorName) and the index of the
    /// block it stands in, or before.
    std::map<std::string, size_t> anchorBlock;
};

class HtmlBlockCollector {
public:
    /// Gives the book's image id for the `src` (or `recindex`) of an img
    /// element, or an empty text when there is no such image.
    using ImageResolver = std::function<std::string(const std::string& reference)>;

    HtmlBlockCollector(std::vector<std::string> documentNames, ImageResolver resolveImage);

    /// Adds the document at `documentIndex` of the names given above.
    void AddDocument(size_t documentIndex, std::string_view html);

    /// Adds every document in the order of the names given above; large
    /// books are parsed on several threads, with the same result.
    void AddDocuments(const std::vector<std::string>& documents);

    HtmlBlocks Take();

private:
    class Walker;

    /// The blocks of one document, with indexes that count from its start.
    HtmlBlocks ReadDocument(size_t documentIndex, std::string_view html) const;
    void Append(HtmlBlocks&& document);

    std::vector<std::string> m_documentNames;
    ImageResolver m_resolveImage;
    HtmlBlocks m_result;
};

/// The book's name for the element id `id` of document `documentIndex`; an
/// empty `id` names the document's start. Ids repeat across documents, so
/// the name holds both.
std::string HtmlAnchorName(size_t documentIndex, std::string_view id);

} // namespace kelvra
