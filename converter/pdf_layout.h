#pragma once

// Rebuilds running text from the words a PDF page yields in reading order:
// words become lines, lines become paragraphs (across line breaks, with
// hyphenation at line ends undone; a larger gap, an indented first line, a
// line that ends a sentence with room left for the next line's first word, a
// change of type size or a new page ends a paragraph), larger type becomes
// headings ranked by size, and lone page numbers are dropped. The outline of
// the document, where it has one, is matched to the text to place its
// chapters. Kept apart from poppler so that it can be tested and fuzzed on
// its own. Pure; no thread affinity.

#include "converter/book.h"
#include "converter/chapter_starts.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvra {

/// One word as the PDF library reports it; coordinates in points, y downwards.
struct PdfWord {
    std::string text; ///< UTF-8
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool spaceAfter = true;
};

struct PdfLine {
    std::vector<InlineRun> runs;
    std::string text;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double fontSize = 0;
};

struct PdfOutlineEntry {
    std::string title;
    int level = 1;
};

/// The lines of one page, in the order of its words.
std::vector<PdfLine> GroupPdfLines(const std::vector<PdfWord>& words);

/// Paragraphs and headings of the whole document, page by page.
std::vector<Block> BuildPdfBlocks(const std::vector<std::vector<PdfLine>>& pages);

/// The same, fed one page at a time, so that a long document's lines need
/// not all be held at once: the body text's type size and line spacing are
/// judged from the first pages, which are held until then. Single thread.
class PdfBlockBuilder {
public:
    PdfBlockBuilder();
    ~PdfBlockBuilder();
    PdfBlockBuilder(const PdfBlockBuilder&) = delete;
    PdfBlockBuilder& operator=(const PdfBlockBuilder&) = delete;

    void AddPage(std::vector<PdfLine> lines);
    std::vector<Block> Take();

private:
    class Paragraphs;
    void StartParagraphs();

    std::vector<std::vector<PdfLine>> m_sample;
    std::unique_ptr<Paragraphs> m_paragraphs;
};

/// Chapters where the outline's titles are found in the text, in order; a
/// short paragraph found that way becomes a heading. Entries whose title is
/// not found are left out.
std::map<size_t, ChapterStart> OutlineChapterStarts(std::vector<Block>& blocks,
                                                    const std::vector<PdfOutlineEntry>& outline);

} // namespace kelvra
