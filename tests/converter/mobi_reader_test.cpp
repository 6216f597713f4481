// The MOBI reader over libmobi, fed by our own MOBI writer: structure,
// styles, images, cover and metadata survive the trip; the mapping follows a
// book's own table of contents; damaged and DRM-protected books are refused.

#include "converter/conversion_error.h"
#include "converter/mobi_mapping.h"
#include "converter/mobi_reader.h"
#include "tests/converter/converter_test_support.h"
#include "tools/demo_book/mobi_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvra::test {
namespace {

InlineRun Run(std::string text, std::uint32_t styles = StylePlain, std::string link = {})
{
    InlineRun run;
    run.text = std::move(text);
    run.styles = styles;
    run.link = std::move(link);
    return run;
}

Block Heading(const std::string& text, int level)
{
    Block block = TextBlock(text, BlockKind::Heading);
    block.level = level;
    return block;
}

/// Three chapters whose table of contents texts differ from their headings,
/// so a test can tell which of the two made the chapters.
Book SampleBook()
{
    Book book;
    book.metadata.title = "The Lantern Road";
    book.metadata.authors = { "Ada Wren", "Tom Hale" };
    book.metadata.language = "en";
    book.metadata.publisher = "Kelvra Press";
    book.metadata.description = "A short sample.";

    Chapter one;
    one.title = "The First";
    one.blocks.push_back(Heading("Chapter One", 1));
    Block styled;
    styled.runs = { Run("Plain, "), Run("bold", StyleBold), Run(" and "), Run("italic", StyleItalic),
        Run(" & <escaped>."), Run(" See the end.", StylePlain, "#the-end") };
    one.blocks.push_back(styled);
    Block picture;
    picture.kind = BlockKind::Image;
    picture.imageId = "pic";
    picture.runs = { Run("A lantern") };
    one.blocks.push_back(picture);

    Chapter section;
    section.title = "A Detour";
    section.level = 2;
    section.blocks = { Heading("A Section", 2), TextBlock("Text under the section.") };

    Chapter two;
    two.title = "The Second";
    two.blocks.push_back(Heading("Chapter Two", 1));
    two.blocks.push_back(TextBlock("Some words before the end."));
    Block last = TextBlock("The last words.");
    last.anchor = "the-end";
    two.blocks.push_back(last);

    book.chapters = { one, section, two };
    book.images
        = { Image { "pic", "image/png", TinyPng() }, Image { "cover", "image/png", TinyPng() + std::string(1, '\0') } };
    book.coverImageId = "cover";
    return book;
}

using Writer = std::string (*)(const Book&, const MobiWriteOptions&);

struct Layout {
    const char* name;
    Writer write;
};

// Both layouts carry the book's own table of contents as an NCX index.
const Layout kLayouts[] = { { "MOBI", &WriteMobiBook }, { "AZW3", &WriteAzw3Book } };

Book ReadBack(const std::string& bytes)
{
    SourceFile source;
    source.path = "book.mobi";
    source.baseName = "book";
    source.bytes = bytes;
    return ReadMobiBook(source);
}

std::string AllText(const Book& book)
{
    std::string text;
    for (const Chapter& chapter : book.chapters)
        for (const Block& block : chapter.blocks)
            text += RunsText(block.runs) + "\n";
    return text;
}

const Block* FindBlock(const Book& book, BlockKind kind)
{
    for (const Chapter& chapter : book.chapters)
        for (const Block& block : chapter.blocks)
            if (block.kind == kind)
                return &block;
    return nullptr;
}

TEST(MobiReader, RoundTripKeepsStructureStylesImagesAndMetadata)
{
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const Book book = ReadBack(layout.write(SampleBook(), {}));

        EXPECT_EQ(book.metadata.title, "The Lantern Road");
        EXPECT_EQ(book.metadata.authors, (std::vector<std::string> { "Ada Wren", "Tom Hale" }));
        EXPECT_EQ(book.metadata.language.substr(0, 2), "en");
        EXPECT_EQ(book.metadata.publisher, "Kelvra Press");
        EXPECT_EQ(book.metadata.description, "A short sample.");

        std::vector<std::pair<std::string, int>> toc;
        for (const Chapter& chapter : book.chapters)
            if (!chapter.title.empty())
                toc.emplace_back(chapter.title, chapter.level);
        EXPECT_EQ(toc,
            (std::vector<std::pair<std::string, int>> { { "The First", 1 }, { "A Detour", 2 }, { "The Second", 1 } }));
        ASSERT_EQ(book.chapters.size(), 3u);
        EXPECT_EQ(book.chapters[1].blocks.front().kind, BlockKind::Heading);
        EXPECT_EQ(book.chapters[1].blocks.front().level, 2);

        const std::string text = AllText(book);
        EXPECT_NE(text.find("Plain, bold and italic & <escaped>. See the end."), std::string::npos) << text;
        EXPECT_NE(text.find("The last words."), std::string::npos) << text;

        std::uint32_t boldSeen = 0;
        std::string linkTarget;
        for (const Chapter& chapter : book.chapters)
            for (const Block& block : chapter.blocks)
                for (const InlineRun& run : block.runs) {
                    if (run.text == "bold")
                        boldSeen |= run.styles;
                    if (run.text == "italic")
                        boldSeen |= run.styles << 8;
                    if (!run.link.empty())
                        linkTarget = run.link;
                }
        EXPECT_EQ(boldSeen, StyleBold | (StyleItalic << 8));

        // The internal link leads to the block that held its anchor.
        ASSERT_FALSE(linkTarget.empty());
        bool linkResolves = false;
        for (const Chapter& chapter : book.chapters)
            for (const Block& block : chapter.blocks)
                if ("#" + block.anchor == linkTarget
                    || std::any_of(block.runs.begin(), block.runs.end(),
                        [&](const InlineRun& r) { return "#" + r.anchor == linkTarget; }))
                    linkResolves = RunsText(block.runs).find("The last words.") != std::string::npos;
        EXPECT_TRUE(linkResolves) << linkTarget;

        const Block* image = FindBlock(book, BlockKind::Image);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(RunsText(image->runs), "A lantern");
        const auto picture = std::find_if(
            book.images.begin(), book.images.end(), [&](const Image& i) { return i.id == image->imageId; });
        ASSERT_NE(picture, book.images.end());
        EXPECT_EQ(picture->data, TinyPng());
        const auto cover = std::find_if(
            book.images.begin(), book.images.end(), [&](const Image& i) { return i.id == book.coverImageId; });
        ASSERT_NE(cover, book.images.end());
        EXPECT_EQ(cover->data, TinyPng() + std::string(1, '\0'));
    }
}

// Without titles the writers make no table of contents, and the reader
// starts chapters at the top headings.
TEST(MobiReader, LongTextAcrossManyRecordsIsComplete)
{
    Book source;
    source.metadata.title = "Long";
    for (int c = 1; c <= 30; ++c) {
        Chapter chapter;
        chapter.blocks.push_back(Heading("Part " + std::to_string(c), 1));
        for (int p = 0; p < 40; ++p)
            chapter.blocks.push_back(TextBlock("Paragraph " + std::to_string(p) + " of part " + std::to_string(c)
                + " with some ünïcödé text crossing record boundaries."));
        source.chapters.push_back(chapter);
    }
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        const Book book = ReadBack(layout.write(source, {}));
        ASSERT_EQ(book.chapters.size(), 30u);
        EXPECT_EQ(book.chapters[29].title, "Part 30");
        EXPECT_EQ(book.chapters[29].blocks.size(), 41u);
        EXPECT_EQ(RunsText(book.chapters[17].blocks[40].runs),
            "Paragraph 39 of part 18 with some ünïcödé text crossing record boundaries.");
    }
}

std::uint32_t U32At(const std::string& bytes, size_t at)
{
    std::uint32_t value = 0;
    for (size_t i = at; i < at + 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// A damaged table of contents index costs the table, not the book.
TEST(MobiReader, DamagedTableOfContentsFallsBackToHeadings)
{
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        std::string bytes = layout.write(SampleBook(), {});
        const size_t recordZero = U32At(bytes, 78);
        const size_t ncxRecord = U32At(bytes, recordZero + 244);
        const size_t ncxOffset = U32At(bytes, 78 + 8 * ncxRecord);
        ASSERT_EQ(bytes.substr(ncxOffset, 4), "INDX");
        bytes.replace(ncxOffset, 4, "XXXX");

        const Book book = ReadBack(bytes);
        std::vector<std::string> titles;
        for (const Chapter& chapter : book.chapters)
            titles.push_back(chapter.title);
        EXPECT_EQ(titles, (std::vector<std::string> { "Chapter One", "A Section", "Chapter Two" }));
        EXPECT_NE(AllText(book).find("The last words."), std::string::npos);
    }
}

TEST(MobiReader, PalmDocTextIsReadAsPlainText)
{
    const std::string text = "Chapter 1\n\nCaf\xE9 au lait, na\xEFve \x93quotes\x94.\n\nChapter 2\n\nThe end.\n";
    const Book book = ReadBack(WritePalmDocText("PalmTitle", text));
    EXPECT_EQ(book.metadata.title, "PalmTitle");
    ASSERT_EQ(book.chapters.size(), 2u);
    EXPECT_EQ(book.chapters[0].title, "Chapter 1");
    EXPECT_EQ(RunsText(book.chapters[0].blocks.back().runs), "Café au lait, naïve \u201Cquotes\u201D.");
}

TEST(MobiReader, RefusesDamagedAndProtectedBooks)
{
    const std::string good = WriteMobiBook(SampleBook());
    MobiWriteOptions drm;
    drm.markEncrypted = true;
    // The PalmDOC header's text record count sits 8 bytes into record 0.
    std::string zeroTextRecords = good;
    size_t recordZero = 0;
    for (size_t i = 78; i < 82; ++i)
        recordZero = recordZero << 8 | static_cast<unsigned char>(good[i]);
    zeroTextRecords[recordZero + 8] = zeroTextRecords[recordZero + 9] = '\0';
    // The second record's offset before the first's: libmobi would take its size as some 4 GB.
    std::string fallingOffsets = good;
    fallingOffsets.replace(86, 4, std::string("\0\0\0\x10", 4));
    std::string hugeClaim = good;
    hugeClaim[recordZero + 8] = hugeClaim[recordZero + 9] = '\xFF';
    const struct {
        const char* name;
        std::string bytes;
        bool protectedBook;
    } cases[] = {
        { "header only", good.substr(0, 90), false },
        { "cut in the record list", good.substr(0, 100), false },
        { "cut in the first record", good.substr(0, 200), false },
        { "no text records", zeroTextRecords, false },
        { "random after the header", good.substr(0, 68) + std::string(4000, '\x5A'), false },
        { "more text claimed than the file holds", hugeClaim, false },
        { "record offsets falling", fallingOffsets, false },
        { "DRM", WriteMobiBook(SampleBook(), drm), true },
        { "DRM in AZW3", WriteAzw3Book(SampleBook(), drm), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadBack(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const InputRejected& rejected) {
            EXPECT_FALSE(c.protectedBook) << rejected.what();
        } catch (const ConversionError& error) {
            EXPECT_TRUE(c.protectedBook) << error.what();
            EXPECT_NE(std::string(error.what()).find("DRM"), std::string::npos) << error.what();
        }
    }
}

TEST(MobiReader, CutAnywhereNeverCrashes)
{
    for (const Layout& layout : kLayouts) {
        const std::string good = layout.write(SampleBook(), {});
        for (size_t length = 0; length < good.size(); length += 7) {
            SourceFile source { "cut.mobi", "cut", good.substr(0, length) };
            try {
                ReadMobiBook(source);
            } catch (const ConversionError&) {
            }
        }
    }
    SUCCEED();
}

TEST(MobiMapping, ChaptersFollowTheBooksOwnTableOfContents)
{
    MobiContent content;
    content.metadata.title = "Parts";
    content.partNames = { "part00000.html", "part00001.html" };
    content.parts = {
        "<html><body><p>Front matter.</p><h2 id=\"a\">Opening</h2><p>First <a "
        "href=\"part00001.html#b\">link</a>.</p></body></html>",
        "<html><body><div id=\"b\"><p class=\"title\">Not a heading</p></div><p>Second.</p>"
        "<p id=\"c\">Third <img src=\"resource00003.jpg\" alt=\"icon\"/> inline.</p></body></html>",
    };
    content.ncx
        = "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\"><navMap>"
          "<navPoint><navLabel><text>Opening</text></navLabel><content src=\"part00000.html#a\"/>"
          "<navPoint><navLabel><text>Inner</text></navLabel><content src=\"part00001.html#c\"/></navPoint>"
          "</navPoint>"
          "<navPoint><navLabel><text>Second part</text></navLabel><content src=\"part00001.html#b\"/></navPoint>"
          "<navPoint><navLabel><text>Nowhere</text></navLabel><content src=\"missing.html\"/></navPoint>"
          "</navMap></ncx>";
    content.images = { MobiResource { 3, TinyPng() }, MobiResource { 4, TinyPng() } };
    const Book book = MapMobiContent(content, "fallback");

    std::vector<std::string> titles;
    std::vector<int> levels;
    for (const Chapter& chapter : book.chapters) {
        titles.push_back(chapter.title);
        levels.push_back(chapter.level);
    }
    EXPECT_EQ(titles, (std::vector<std::string> { "", "Opening", "Second part", "Inner" }));
    EXPECT_EQ(levels[3], 2);
    // Only the image the text uses is kept.
    ASSERT_EQ(book.images.size(), 1u);
    EXPECT_EQ(book.images[0].id, "image3");
    // The cross-part link points at the anchor of the second part's first block.
    const InlineRun& link = book.chapters[1].blocks[1].runs[1];
    EXPECT_EQ(link.text, "link");
    const Block& target = book.chapters[2].blocks[0];
    EXPECT_EQ(RunsText(target.runs), "Not a heading");
    EXPECT_TRUE("#" + target.anchor == link.link
        || std::any_of(
            target.runs.begin(), target.runs.end(), [&](const InlineRun& r) { return "#" + r.anchor == link.link; }))
        << link.link;
}

std::string NestedHtml(int depth)
{
    std::string html = "<html><body><p>";
    for (int i = 0; i < depth; ++i)
        html += i % 2 ? "<span>" : "<b>";
    html += "deep<br/>words";
    for (int i = depth; i-- > 0;)
        html += i % 2 ? "</span>" : "</b>";
    return html + "</p><p>after</p></body></html>";
}

// Nesting beyond the walk's own limit keeps its text; nesting beyond what
// libxml2 parses at all is cut there, without a crash.
TEST(MobiMapping, DeeplyNestedMarkupKeepsItsTextOrIsRefused)
{
    MobiContent content;
    content.partNames = { "part00000.html" };
    content.parts = { NestedHtml(240) };
    std::string text;
    for (const Chapter& chapter : MapMobiContent(content, "deep").chapters)
        for (const Block& block : chapter.blocks)
            text += RunsText(block.runs) + "|";
    EXPECT_EQ(text, "deep words|after|");

    content.parts = { NestedHtml(100000) };
    try {
        MapMobiContent(content, "deeper");
    } catch (const InputRejected&) {
    }
}

// An older book without an NCX index: its contents page of links names the
// chapters, whose own titles are not headings.
TEST(MobiMapping, ContentsPageOfLinksMakesTheTableOfContents)
{
    MobiContent content;
    content.partNames = { "part00000.html" };
    content.parts = { "<html><body><h1>The Book</h1><p>Contents</p>"
                      "<p><a href=\"#0000000100\">The Start</a></p>"
                      "<p><a href=\"#0000000200\"><b>The Middle</b></a></p>"
                      "<p><a href=\"#0000000300\">The End</a></p>"
                      "<p><a href=\"#missing\">Nowhere</a></p><mbp:pagebreak/>"
                      "<a id=\"0000000100\"></a><p><b>ONE</b></p><p>First text.</p>"
                      "<a id=\"0000000200\"></a><p><b>TWO</b></p><p>Second text.</p>"
                      "<a id=\"0000000300\"></a><p><b>THREE</b></p><p>Last text.</p></body></html>" };
    const Book book = MapMobiContent(content, "contents");
    std::vector<std::string> titles;
    for (const Chapter& chapter : book.chapters)
        titles.push_back(chapter.title);
    EXPECT_EQ(titles, (std::vector<std::string> { "", "The Start", "The Middle", "The End" }));
    EXPECT_EQ(RunsText(book.chapters[2].blocks[0].runs), "TWO");

    // Note references that point back are no contents page.
    content.parts = { "<html><body><h1>Alpha</h1><p id=\"n1\">One.</p><p id=\"n2\">Two.</p><p id=\"n3\">Three.</p>"
                      "<h1>Notes</h1><p><a href=\"#n1\">back to one</a></p><p><a href=\"#n2\">back to two</a></p>"
                      "<p><a href=\"#n3\">back to three</a></p></body></html>" };
    titles.clear();
    for (const Chapter& chapter : MapMobiContent(content, "notes").chapters)
        titles.push_back(chapter.title);
    EXPECT_EQ(titles, (std::vector<std::string> { "Alpha", "Notes" }));
}

TEST(MobiMapping, EmptyPartsAreRefused)
{
    MobiContent content;
    content.partNames = { "part00000.html" };
    content.parts = { "<html><body><p> </p><script>var x;</script></body></html>" };
    EXPECT_THROW(MapMobiContent(content, "x"), InputRejected);
}

} // namespace
} // namespace kelvra::test
