#pragma once

// Cuts a flat list of blocks into chapters: where a table of contents points,
// or, in a book without one, at its top headings. Shared by the readers whose
// formats hold one running text (MOBI, AZW3, PDF). Pure; no thread affinity.

#include "converter/book.h"

#include <map>
#include <string>
#include <vector>

namespace kelvra {

/// A chapter that begins at a block: its table of contents text and depth.
struct ChapterStart {
    std::string title;
    int level = 1;
};

/// Chapters at the headings of the top two heading levels the blocks use,
/// each titled by its heading's text; the top level becomes depth 1.
std::map<size_t, ChapterStart> HeadingChapterStarts(const std::vector<Block>& blocks);

/// Moves `blocks` into chapters that begin at every key of `starts` and at
/// every index of `breaks`; chapters with a start carry its title and depth.
/// Empty stretches make no chapter.
std::vector<Chapter> SplitIntoChapters(std::vector<Block> blocks, const std::map<size_t, ChapterStart>& starts,
                                       const std::vector<size_t>& breaks);

} // namespace kelvra
