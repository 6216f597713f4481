#include "converter/chapter_starts.h"

#include "converter/xml_text.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace kelvra {

std::map<size_t, ChapterStart> HeadingChapterStarts(const std::vector<Block>& blocks)
{
    int top = 7;
    for (const Block& block : blocks)
        if (block.kind == BlockKind::Heading)
            top = std::min(top, block.level);
    std::map<size_t, ChapterStart> starts;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& block = blocks[i];
        if (block.kind != BlockKind::Heading || block.level > top + 1)
            continue;
        std::string title = CollapseWhitespace(RunsText(block.runs));
        if (!title.empty())
            starts.emplace(i, ChapterStart{std::move(title), block.level - top + 1});
    }
    return starts;
}

std::vector<Chapter> SplitIntoChapters(std::vector<Block> blocks, const std::map<size_t, ChapterStart>& starts,
                                       const std::vector<size_t>& breaks)
{
    std::set<size_t> boundaries(breaks.begin(), breaks.end());
    boundaries.insert(0);
    for (const auto& entry : starts)
        boundaries.insert(entry.first);
    boundaries.insert(blocks.size());

    std::vector<Chapter> chapters;
    for (auto it = boundaries.begin(); std::next(it) != boundaries.end(); ++it) {
        const size_t begin = *it;
        const size_t end = std::min(*std::next(it), blocks.size());
        if (begin >= end)
            continue;
        Chapter chapter;
        if (const auto start = starts.find(begin); start != starts.end()) {
            chapter.title = start->second.title;
            chapter.level = start->second.level;
        }
        chapter.blocks.assign(std::make_move_iterator(blocks.begin() + static_cast<std::ptrdiff_t>(begin)),
                              std::make_move_iterator(blocks.begin() + static_cast<std::ptrdiff_t>(end)));
        chapters.push_back(std::move(chapter));
    }
    return chapters;
}

} // namespace kelvra
