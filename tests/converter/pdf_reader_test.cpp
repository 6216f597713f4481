// The PDF reader over poppler, fed by our own PDF writer, and the layout
// rules that rebuild paragraphs and headings from the words of a page.

#include "converter/conversion_error.h"
#include "converter/pdf_layout.h"
#include "converter/pdf_reader.h"
#include "tests/converter/converter_test_support.h"
#include "tools/demo_book/pdf_writer.h"

#include <gtest/gtest.h>

namespace kelvra::test {
namespace {

Block Heading(const std::string& text, int level)
{
    Block block = TextBlock(text, BlockKind::Heading);
    block.level = level;
    return block;
}

std::string LongParagraph(int seed)
{
    std::string text;
    for (int i = 0; i < 45; ++i)
        text += "word" + std::to_string(seed) + "x" + std::to_string(i) + (i % 9 == 8 ? ", " : " ");
    return text + "end.";
}

Book SampleBook()
{
    Book book;
    book.metadata.title = "Field Notes";
    book.metadata.authors = {"Ada Wren", "Tomás Hale"};
    book.metadata.description = "Notes from the field.";
    Chapter one;
    one.title = "First Light";
    one.blocks = {Heading("First Light", 1), TextBlock(LongParagraph(1)), TextBlock("Short one.")};
    InlineRun plain{"Mixed ", StylePlain, {}, {}, {}};
    InlineRun bold{"bold words", StyleBold, {}, {}, {}};
    InlineRun middle{" and ", StylePlain, {}, {}, {}};
    InlineRun italic{"slanted ones", StyleItalic, {}, {}, {}};
    InlineRun tail{" in a line.", StylePlain, {}, {}, {}};
    Block mixed;
    mixed.runs = {plain, bold, middle, italic, tail};
    one.blocks.push_back(mixed);
    Chapter section;
    section.title = "A Détour";
    section.level = 2;
    section.blocks = {Heading("A Détour", 2), TextBlock(LongParagraph(2))};
    Chapter two;
    two.title = "Second Light";
    two.blocks = {Heading("Second Light", 1), TextBlock(LongParagraph(3)), TextBlock(LongParagraph(4))};
    book.chapters = {one, section, two};
    return book;
}

Book ReadBack(const std::string& bytes)
{
    return ReadPdfBook(SourceFile{"book.pdf", "book", bytes});
}

std::vector<std::string> Paragraphs(const Book& book)
{
    std::vector<std::string> out;
    for (const Chapter& chapter : book.chapters)
        for (const Block& block : chapter.blocks)
            out.push_back((block.kind == BlockKind::Heading ? "# " : "") + RunsText(block.runs));
    return out;
}

TEST(PdfReader, RebuildsParagraphsHeadingsOutlineAndMetadata)
{
    for (const bool outline : {true, false}) {
        SCOPED_TRACE(outline ? "chapters from the outline" : "chapters from the headings");
        PdfWriteOptions options;
        options.outline = outline;
        const Book book = ReadBack(WritePdfBook(SampleBook(), options));

        EXPECT_EQ(book.metadata.title, "Field Notes");
        EXPECT_EQ(book.metadata.authors, (std::vector<std::string>{"Ada Wren", "Tomás Hale"}));
        EXPECT_EQ(book.metadata.description, "Notes from the field.");

        EXPECT_EQ(Paragraphs(book), (std::vector<std::string>{
                                        "# First Light", LongParagraph(1), "Short one.",
                                        "Mixed bold words and slanted ones in a line.",
                                        "# A Détour", LongParagraph(2), "# Second Light", LongParagraph(3),
                                        LongParagraph(4)}));
        // Bold and italic come from the fonts; the blanks around a styled
        // run stay plain.
        const Block& mixed = book.chapters.at(0).blocks.at(3);
        std::vector<std::pair<std::string, std::uint32_t>> styled;
        for (const InlineRun& run : mixed.runs)
            styled.emplace_back(run.text, run.styles);
        EXPECT_EQ(styled, (std::vector<std::pair<std::string, std::uint32_t>>{{"Mixed ", StylePlain},
                                                                             {"bold words", StyleBold},
                                                                             {" and ", StylePlain},
                                                                             {"slanted ones", StyleItalic},
                                                                             {" in a line.", StylePlain}}));

        std::vector<std::pair<std::string, int>> toc;
        for (const Chapter& chapter : book.chapters)
            toc.emplace_back(chapter.title, chapter.level);
        EXPECT_EQ(toc, (std::vector<std::pair<std::string, int>>{
                           {"First Light", 1}, {"A Détour", 2}, {"Second Light", 1}}));
    }
}

TEST(PdfReader, LongDocumentsComeBackWholeAndInOrder)
{
    // Sixty chapters, each on pages of its own: the pages are read on two
    // threads and must still come back in order, none lost or repeated.
    Book source;
    source.metadata.title = "Long";
    std::vector<std::string> expected;
    for (int c = 1; c <= 60; ++c) {
        Chapter chapter;
        chapter.title = "Chapter " + std::to_string(c);
        chapter.blocks.push_back(Heading(chapter.title, 1));
        expected.push_back("# " + chapter.title);
        for (int p = 0; p < 3; ++p) {
            chapter.blocks.push_back(TextBlock(LongParagraph(c * 10 + p)));
            expected.push_back(LongParagraph(c * 10 + p));
        }
        source.chapters.push_back(chapter);
    }
    const Book book = ReadBack(WritePdfBook(source));
    EXPECT_EQ(Paragraphs(book), expected);
    EXPECT_EQ(book.chapters.size(), 60u);
}

TEST(PdfReader, RefusesWhatItCannotRead)
{
    const std::string good = WritePdfBook(SampleBook());
    PdfWriteOptions locked;
    locked.needsPassword = true;
    PdfWriteOptions scanned;
    scanned.textLayer = false;
    const struct {
        const char* name;
        std::string bytes;
        const char* reason; ///< part of the message; null: a rejection that may be handed over
    } cases[] = {
        {"needs a password", WritePdfBook(SampleBook(), locked), "password"},
        {"no text layer", WritePdfBook(SampleBook(), scanned), "no text"},
        {"too many pages", WriteEmptyPagesPdf(kMaxPdfPages + 1), "too many pages"},
        {"cut in half", good.substr(0, good.size() / 2), nullptr},
        {"header only", "%PDF-1.4\n%%EOF\n", nullptr},
        {"garbage body", "%PDF-1.7\n" + std::string(5000, 'q') + "\n%%EOF\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadBack(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const InputRejected& rejected) {
            EXPECT_EQ(c.reason, nullptr) << rejected.what();
        } catch (const ConversionError& error) {
            ASSERT_NE(c.reason, nullptr) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

TEST(PdfReader, DamagedBytesNeverCrash)
{
    std::string bytes = WritePdfBook(SampleBook());
    for (size_t at = 16; at + 40 < bytes.size(); at += 97) {
        std::string damaged = bytes;
        damaged.replace(at, 8, "\x00\xFF<<>>)(", 8);
        try {
            ReadBack(damaged);
        } catch (const ConversionError&) {
        }
    }
    SUCCEED();
}

PdfWord Word(std::string text, double left, double top, double size = 10, bool spaceAfter = true)
{
    PdfWord word;
    word.text = std::move(text);
    word.left = left;
    word.top = top;
    word.right = left + static_cast<double>(word.text.size()) * size * 0.5;
    word.bottom = top + size;
    word.fontSize = size;
    word.spaceAfter = spaceAfter;
    return word;
}

/// Lines of words at a 12-point pitch, each line starting at `left`.
std::vector<PdfLine> Page(const std::vector<std::pair<double, std::string>>& lines, double firstTop = 50)
{
    std::vector<PdfWord> words;
    double top = firstTop;
    for (const auto& [left, text] : lines) {
        double x = left;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos)
                end = text.size();
            words.push_back(Word(text.substr(start, end - start), x, top));
            x = words.back().right + 5;
            start = end + 1;
        }
        top += 12;
    }
    return GroupPdfLines(words);
}

TEST(PdfLayout, ParagraphRules)
{
    const std::string full = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk";
    const struct {
        const char* name;
        std::vector<std::vector<PdfLine>> pages;
        std::vector<std::string> paragraphs;
    } cases[] = {
        {"lines join with a blank", {Page({{50, full}, {50, full}, {50, "end."}})}, {full + " " + full + " end."}},
        {"a hyphen at a line end is undone",
         {Page({{50, full + " hyphen-"}, {50, "ated word."}})},
         {full + " hyphenated word."}},
        {"a hyphen before a capital stays", {Page({{50, full + " Anglo-"}, {50, "Saxon."}})}, {full + " Anglo- Saxon."}},
        {"an indented line begins a paragraph",
         {Page({{50, full}, {50, full}, {70, full}, {50, "x."}})},
         {full + " " + full, full + " x."}},
        {"a short line ending a sentence ends a paragraph",
         {Page({{50, full}, {50, "short."}, {50, full}})},
         {full + " short.", full}},
        {"a page break ends a paragraph", {Page({{50, full}}), Page({{50, full}})}, {full, full}},
        {"lone page numbers are dropped", {Page({{200, "12"}, {50, full}, {50, "tail."}, {200, "13"}})},
         {full + " tail."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> got;
        for (const Block& block : BuildPdfBlocks(c.pages))
            got.push_back(RunsText(block.runs));
        EXPECT_EQ(got, c.paragraphs);
    }
}

TEST(PdfLayout, GapsAndLargerTypeMakeHeadingsRankedBySize)
{
    std::vector<PdfWord> words = {Word("Big", 50, 40, 20), Word("Title", 95, 40, 20)};
    const std::vector<PdfWord> body = {Word("Body", 50, 80), Word("text.", 80, 80)};
    words.insert(words.end(), body.begin(), body.end());
    words.push_back(Word("Middle", 50, 110, 14));
    words.push_back(Word("More", 50, 140));
    words.push_back(Word("body.", 80, 140));
    const std::vector<Block> blocks = BuildPdfBlocks({GroupPdfLines(words)});
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0].kind, BlockKind::Heading);
    EXPECT_EQ(blocks[0].level, 1);
    EXPECT_EQ(RunsText(blocks[0].runs), "Big Title");
    EXPECT_EQ(blocks[1].kind, BlockKind::Paragraph);
    EXPECT_EQ(blocks[2].kind, BlockKind::Heading);
    EXPECT_EQ(blocks[2].level, 2);
    EXPECT_EQ(blocks[3].kind, BlockKind::Paragraph);
}

// Long documents are measured on their first pages and rebuilt page by
// page after that; a heading far in is still a heading.
TEST(PdfLayout, LongDocumentsKeepTheirHeadingsPastTheMeasuredPages)
{
    const std::string full = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk";
    std::vector<std::vector<PdfLine>> pages(60, Page({ { 50, full }, { 50, full + " end." } }));
    pages[55] = GroupPdfLines({ Word("Late", 50, 40, 20), Word("Heading", 100, 40, 20) });
    const std::vector<Block> blocks = BuildPdfBlocks(pages);
    ASSERT_EQ(blocks.size(), 60u);
    EXPECT_EQ(blocks[55].kind, BlockKind::Heading);
    EXPECT_EQ(RunsText(blocks[55].runs), "Late Heading");
    EXPECT_EQ(blocks[56].kind, BlockKind::Paragraph);
    EXPECT_EQ(RunsText(blocks[59].runs), full + " " + full + " end.");
}

TEST(PdfLayout, OutlineTitlesAreFoundInTheText)
{
    std::vector<Block> blocks = {TextBlock("Preface text."), TextBlock("CHAPTER ONE"), TextBlock("Body one."),
                                 TextBlock("Chapter Two: the road"), TextBlock("Body two.")};
    const std::map<size_t, ChapterStart> starts = OutlineChapterStarts(
        blocks, {{"Chapter One", 1}, {"Not in the text", 1}, {"Chapter two - The Road", 2}, {"   ", 1}});
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts.at(1).title, "Chapter One");
    EXPECT_EQ(starts.at(3).title, "Chapter two - The Road");
    EXPECT_EQ(starts.at(3).level, 2);
    EXPECT_EQ(blocks[1].kind, BlockKind::Heading);
    EXPECT_EQ(blocks[2].kind, BlockKind::Paragraph);
}

} // namespace
} // namespace kelvra::test
