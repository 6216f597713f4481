// The FB2 reader: metadata, structure, inline markup, images and refusals.

#include "converter/conversion_error.h"
#include "converter/fb2_reader.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

namespace kelvra::test {
namespace {

Book Read(const std::string& bytes)
{
    return ReadFb2Book(SourceFile{"book.fb2", "book", bytes});
}

const Block* FindBlock(const Book& book, const std::string& text)
{
    for (const Chapter& chapter : book.chapters)
        for (const Block& block : chapter.blocks)
            if (RunsText(block.runs).find(text) != std::string::npos)
                return &block;
    return nullptr;
}

TEST(Fb2Reader, TitleInfoBecomesMetadata)
{
    const Book book = Read(SampleFb2());
    EXPECT_EQ(book.metadata.title, "The Test Book");
    EXPECT_EQ(book.metadata.authors, (std::vector<std::string>{"Anna M. Berg", "Quill"}));
    EXPECT_EQ(book.metadata.language, "de");
    EXPECT_EQ(book.metadata.description, "About the book.");
    EXPECT_EQ(book.metadata.date, "2001-05-02");
    EXPECT_EQ(book.metadata.publisher, "Small Press");
    EXPECT_EQ(book.coverImageId, "cover.png");
}

TEST(Fb2Reader, TitledSectionsBecomeChaptersAtTheirDepth)
{
    const Book book = Read(SampleFb2());
    std::vector<std::string> toc;
    for (const Chapter& chapter : book.chapters)
        if (!chapter.title.empty())
            toc.push_back(chapter.title + "@" + std::to_string(chapter.level));
    EXPECT_EQ(toc, (std::vector<std::string>{"Part One@1", "Chapter 1. Start@2", "Chapter 2@2", "Notes@1"}));
    // The untitled inner section stays inside chapter 2.
    const Chapter& second = book.chapters[3];
    ASSERT_EQ(second.title, "Chapter 2");
    EXPECT_EQ(RunsText(second.blocks.back().runs), "Untitled inner section.");
    EXPECT_EQ(second.anchor, "c2");
}

TEST(Fb2Reader, InlineMarkupRolesAndLinks)
{
    const Book book = Read(SampleFb2());
    const Block* paragraph = FindBlock(book, "Some bold");
    ASSERT_NE(paragraph, nullptr);
    ASSERT_EQ(paragraph->runs.size(), 7u); // "Some ", "bold", " and ", "italic", " text", "1", "."
    EXPECT_EQ(paragraph->runs[1].styles, StyleBold);
    EXPECT_EQ(paragraph->runs[3].styles, StyleItalic);
    EXPECT_EQ(paragraph->runs[5].link, "#n1");
    EXPECT_EQ(paragraph->runs[5].styles, StyleSuperscript);

    struct Case {
        const char* text;
        BlockRole role;
    };
    for (const Case& c : {Case{"Wise words", BlockRole::Epigraph}, Case{"Line two", BlockRole::Verse},
                          Case{"Cited words", BlockRole::Cite}, Case{"Poet", BlockRole::TextAuthor},
                          Case{"Subtitle words", BlockRole::Subtitle}, Case{"The note text", BlockRole::Note}}) {
        SCOPED_TRACE(c.text);
        const Block* block = FindBlock(book, c.text);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->role, c.role);
    }
    const Block* image = nullptr;
    for (const Block& block : book.chapters[2].blocks)
        if (block.kind == BlockKind::Image)
            image = &block;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->imageId, "pic.png");
    EXPECT_EQ(RunsText(image->runs), "A small picture");
    EXPECT_EQ(book.images.size(), 3u);
    EXPECT_EQ(book.images[0].data, TinyPng());
}

TEST(Fb2Reader, WritesTheEpubWithResolvedNotesCoverAndImages)
{
    TempDir folder;
    WriteFile(folder.File("book.fb2"), SampleFb2());
    const ProgramRun run = RunEbookExe({folder.File("book.fb2"), folder.File("book.epub")});
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
    const std::vector<ZipEntry> entries = ReadZip(folder.File("book.epub"));
    const std::string opf = EntryText(entries, "OEBPS/content.opf");
    EXPECT_NE(opf.find("properties=\"cover-image\""), std::string::npos);
    EXPECT_NE(opf.find("<dc:language>de</dc:language>"), std::string::npos);
    EXPECT_NE(EntryText(entries, "OEBPS/text/cover.xhtml").find("<img"), std::string::npos);
    // The picture was declared a JPEG but is a PNG: its bytes decide. The unused binary is left out.
    EXPECT_NE(opf.find("href=\"images/image-2.png\" media-type=\"image/png\""), std::string::npos);
    EXPECT_EQ(opf.find("image-3"), std::string::npos);
    const std::string chapter = EntryText(entries, "OEBPS/text/chapter-0003.xhtml");
    EXPECT_NE(chapter.find("<a href=\"chapter-0005.xhtml#a-n1\"><sup>1</sup></a>"), std::string::npos) << chapter;
    EXPECT_NE(chapter.find("<a href=\"chapter-0004.xhtml#a-c2\">chapter two</a>"), std::string::npos);
    EXPECT_NE(chapter.find("<a href=\"https://example.com/a%20b\">web</a>"), std::string::npos);
    EXPECT_NE(chapter.find(" or nowhere."), std::string::npos) << "a link to a missing anchor keeps its text only";
    EXPECT_NE(EntryText(entries, "OEBPS/text/chapter-0005.xhtml").find("id=\"a-n1\""), std::string::npos);
}

TEST(Fb2Reader, LegacyEncodingFromTheDeclaration)
{
    const std::string bytes = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<FictionBook><description><title-info>"
                              "<book-title>\xCA\xED\xE8\xE3\xE0</book-title><lang>ru</lang></title-info></description>"
                              "<body><section><p>\xD2\xE5\xEA\xF1\xF2</p></section></body></FictionBook>";
    const Book book = Read(bytes);
    EXPECT_EQ(book.metadata.title, "\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0"); // Книга
    ASSERT_NE(FindBlock(book, "\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82"), nullptr); // Текст
}

TEST(Fb2Reader, RefusesDamagedOrEmptyBooks)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* messagePart;
    };
    const std::string sample = SampleFb2();
    const Case cases[] = {
        {"cut off", sample.substr(0, sample.size() / 2), "not well-formed"},
        {"not XML", "<FictionBook><body><p>unclosed", "not well-formed"},
        {"another root", "<?xml version=\"1.0\"?><html><body><p>x</p></body></html>", "not a FictionBook"},
        {"no body", "<FictionBook><description/></FictionBook>", "no text"},
        {"empty sections", "<FictionBook><body><section><p> </p></section></body></FictionBook>", "no text"},
        {"entity expansion bomb",
         "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
         "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
         "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
         "<FictionBook><description><title-info><book-title a=\"&h;\">&h;</book-title></title-info></description>"
         "<body><section><p>&h;&h;&h;&h;</p></section></body></FictionBook>",
         ""},
        {"external entity",
         "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<FictionBook><body><section><p>&x;</p></section></body></FictionBook>",
         "no text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = RefusalMessage(&ReadFb2Book, c.bytes);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << (message.empty() ? "accepted" : message);
        if (message.empty()) {
            // Accepted only with the entities left unexpanded: nothing may grow out of them.
            size_t textBytes = 0;
            for (const std::string& text : BlockTexts(Read(c.bytes)))
                textBytes += text.size();
            EXPECT_LT(textBytes, 100u);
        }
    }
}

} // namespace
} // namespace kelvra::test
