// The HTML documents of a book read on several threads give the same blocks,
// breaks and anchors as the same documents read one after the other.

#include "converter/html_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace kelvra::test {
namespace {

/// Every field of the blocks that later stages look at, one line a block.
std::vector<std::string> Describe(const HtmlBlocks& html)
{
    std::vector<std::string> lines;
    for (const Block& block : html.blocks) {
        std::string line = std::to_string(static_cast<int>(block.kind)) + "/" + std::to_string(block.level) + "/" +
                           block.anchor + "/" + block.imageId + ":";
        for (const InlineRun& run : block.runs)
            line += " [" + run.text + "|" + std::to_string(run.styles) + "|" + run.link + "|" + run.imageId + "|" +
                    run.anchor + "]";
        lines.push_back(line);
    }
    return lines;
}

/// A document with a heading, paragraphs with ids (the same ids in every
/// document), a link to the next document and a page break.
std::string Document(int index)
{
    std::string html = "<html><body><h2 id=\"top\">Part " + std::to_string(index) + "</h2>";
    for (int p = 0; p < 120; ++p)
        html += "<p id=\"p" + std::to_string(p) + "\">Paragraph " + std::to_string(p) +
                " with <b>bold</b> and <i>slanted</i> words, long enough to count for a book of some size.</p>";
    html += "<p><a href=\"part" + std::to_string(index + 1) + ".html#top\">next</a></p>";
    html += "<div style=\"page-break-before: always\"></div><p>After the break.</p></body></html>";
    return html;
}

TEST(HtmlBlocks, ManyDocumentsReadTogetherMatchOneAfterTheOther)
{
    // Enough text for several threads, with an empty document and one the
    // parser can make nothing of among them.
    std::vector<std::string> names;
    std::vector<std::string> documents;
    for (int i = 0; i < 24; ++i) {
        names.push_back("part" + std::to_string(i) + ".html");
        documents.push_back(i == 5 ? std::string() : i == 9 ? std::string("\x01\x02<<<") : Document(i));
    }
    const auto noImages = [](const std::string&) { return std::string(); };

    HtmlBlockCollector oneByOne(names, noImages);
    for (size_t i = 0; i < documents.size(); ++i)
        oneByOne.AddDocument(i, documents[i]);
    const HtmlBlocks expected = oneByOne.Take();

    HtmlBlockCollector together(names, noImages);
    together.AddDocuments(documents);
    const HtmlBlocks actual = together.Take();

    ASSERT_GT(expected.blocks.size(), 2000u);
    EXPECT_EQ(Describe(actual), Describe(expected));
    EXPECT_EQ(actual.breaks, expected.breaks);
    EXPECT_EQ(actual.anchorBlock, expected.anchorBlock);

    // Anchors and breaks point at the right blocks of the whole book, not at
    // indexes counted within their own document.
    const auto firstBlockWith = [&](const std::string& start, size_t from) {
        for (size_t b = from; b < actual.blocks.size(); ++b) {
            std::string text;
            for (const InlineRun& run : actual.blocks[b].runs)
                text += run.text;
            if (text.rfind(start, 0) == 0)
                return b;
        }
        return actual.blocks.size();
    };
    for (size_t i = 0; i < documents.size(); ++i) {
        if (i == 5 || i == 9)
            continue;
        SCOPED_TRACE("document " + std::to_string(i));
        const size_t heading = firstBlockWith("Part " + std::to_string(i), 0);
        ASSERT_LT(heading, actual.blocks.size());
        EXPECT_EQ(actual.anchorBlock.at(HtmlAnchorName(i, "")), heading);
        EXPECT_EQ(actual.anchorBlock.at(HtmlAnchorName(i, "top")), heading);
        EXPECT_EQ(actual.anchorBlock.at(HtmlAnchorName(i, "p50")), firstBlockWith("Paragraph 50 ", heading));
        EXPECT_NE(std::find(actual.breaks.begin(), actual.breaks.end(), heading), actual.breaks.end());
    }
    EXPECT_TRUE(std::adjacent_find(actual.breaks.begin(), actual.breaks.end(), std::greater_equal<size_t>()) ==
                actual.breaks.end())
        << "breaks must rise without repeats";
}

} // namespace
} // namespace kelvra::test
