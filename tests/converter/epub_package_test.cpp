// The EPUB package built from a book: what the writer fills in, checks and
// drops so that every package is sound whatever the reader handed over.

#include "converter/conversion_error.h"
#include "converter/epub_package.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace kelvra::test {
namespace {

std::vector<PackageEntry> Build(const Book& book)
{
    return BuildEpubPackage(book, "2024-01-02T03:04:05Z");
}

std::string Entry(const std::vector<PackageEntry>& entries, const std::string& name)
{
    for (const PackageEntry& entry : entries)
        if (entry.name == name)
            return entry.content;
    return {};
}

Book OneChapterBook(const std::string& text)
{
    Book book;
    Chapter chapter;
    chapter.blocks.push_back(TextBlock(text));
    book.chapters.push_back(chapter);
    return book;
}

TEST(EpubPackage, FillsInTitleLanguageAndIdentifier)
{
    struct Case {
        const char* name;
        std::string text;
        std::string language;
        std::string expectedLanguage;
    };
    const Case cases[] = {
        {"English guessed", "The cat and the dog sat with the owl that was there.", "", "en"},
        {"Russian guessed", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80", "", "ru"},
        {"German guessed", "Der Hund und die Katze sind nicht mit der Maus, das ist es.", "", "de"},
        {"invalid tag replaced", "The end of the story.", "english language", "en"},
        {"valid tag kept", "Texte.", "fr-CA", "fr-CA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Book book = OneChapterBook(c.text);
        book.metadata.language = c.language;
        const std::string opf = Entry(Build(book), "OEBPS/content.opf");
        EXPECT_NE(opf.find("<dc:title>Untitled</dc:title>"), std::string::npos);
        EXPECT_NE(opf.find("<dc:language>" + c.expectedLanguage + "</dc:language>"), std::string::npos) << opf;
        EXPECT_NE(opf.find("<dc:identifier id=\"book-id\">urn:uuid:"), std::string::npos);
        EXPECT_NE(opf.find("<meta property=\"dcterms:modified\">2024-01-02T03:04:05Z</meta>"), std::string::npos);
    }
}

TEST(EpubPackage, IdentifierIsStablePerBook)
{
    const auto identifier = [](const Book& book) {
        const std::string opf = Entry(Build(book), "OEBPS/content.opf");
        const size_t start = opf.find("urn:uuid:");
        return opf.substr(start, 45);
    };
    EXPECT_EQ(identifier(OneChapterBook("Same text.")), identifier(OneChapterBook("Same text.")));
    EXPECT_NE(identifier(OneChapterBook("Same text.")), identifier(OneChapterBook("Other text.")));
}

TEST(EpubPackage, NavigationEntriesAlwaysHaveTextAndNestProperly)
{
    Book book;
    for (const auto& [title, level] : {std::pair<std::string, int>{"", 1}, {"Top", 1}, {"Too deep", 3}, {"Back", 1}}) {
        Chapter chapter;
        chapter.title = title;
        chapter.level = level;
        chapter.blocks.push_back(TextBlock("text"));
        book.chapters.push_back(chapter);
    }
    const std::vector<PackageEntry> entries = Build(book);
    const std::string nav = Entry(entries, "OEBPS/nav.xhtml");
    const auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(nav, "<li>"), 3u) << "the untitled front matter has no entry";
    EXPECT_EQ(count(nav, "<ol>"), 2u) << "a jump by two levels nests one level deeper";
    EXPECT_EQ(count(nav, "<ol>"), count(nav, "</ol>"));
    EXPECT_EQ(count(nav, "<li>"), count(nav, "</li>"));
    EXPECT_EQ(nav.find("\"></a>"), std::string::npos);
    EXPECT_EQ(count(Entry(entries, "OEBPS/toc.ncx"), "<navPoint "), 3u);

    // A book without any titled chapter still gets one entry: its title.
    Book untitled = OneChapterBook("words");
    untitled.metadata.title = "Plain";
    EXPECT_NE(Entry(Build(untitled), "OEBPS/nav.xhtml").find(">Plain</a></li>"), std::string::npos);
}

TEST(EpubPackage, AnchorsAreUniqueAndLinksToMissingOnesDropped)
{
    Book book;
    Chapter chapter;
    for (const char* anchor : {"x y", "x_y", "x y"}) {
        Block block = TextBlock("text");
        block.anchor = anchor;
        chapter.blocks.push_back(block);
    }
    Block links;
    links.runs.push_back(InlineRun{"to x", StylePlain, "#x y", {}, {}});
    links.runs.push_back(InlineRun{"to none", StylePlain, "#none", {}, {}});
    links.runs.push_back(InlineRun{"script", StylePlain, "javascript:alert(1)", {}, {}});
    chapter.blocks.push_back(links);
    book.chapters.push_back(chapter);
    const std::string xhtml = Entry(Build(book), "OEBPS/text/chapter-0001.xhtml");
    std::set<std::string> ids;
    const std::regex idPattern("id=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(xhtml.begin(), xhtml.end(), idPattern); it != std::sregex_iterator(); ++it)
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "duplicate id " << (*it)[1];
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_NE(xhtml.find("<a href=\"chapter-0001.xhtml#a-x_y\">to x</a>"), std::string::npos) << xhtml;
    EXPECT_NE(xhtml.find("to none"), std::string::npos);
    EXPECT_EQ(xhtml.find("#none"), std::string::npos);
    EXPECT_EQ(xhtml.find("javascript"), std::string::npos);
}

TEST(EpubPackage, WebLinksAreKeptOnlyWhenSound)
{
    struct Case {
        const char* link;
        const char* href; ///< empty: the link is dropped, its text kept
    };
    const Case cases[] = {
        {"https://example.com/a b?q=1#top", "https://example.com/a%20b?q=1#top"},
        {"HTTP://Example.com:8080", "http://Example.com:8080"},
        {"http://example.com/caf\xC3\xA9/100%/%41", "http://example.com/caf%C3%A9/100%25/%41"},
        {"mailto:someone@example.com", "mailto:someone@example.com"},
        {"http://exa[[mple.com/", ""},
        {"http://exa\xD1\x8Fmple.com/", ""},
        {"http://example.com:port/", ""},
        {"http:example.com", ""},
        {"mailto:nobody", ""},
        {"javascript:alert(1)", ""},
        {"file:///etc/passwd", ""},
        {"www.example.com", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        Book book = OneChapterBook("text");
        book.chapters[0].blocks[0].runs[0].link = c.link;
        const std::string xhtml = Entry(Build(book), "OEBPS/text/chapter-0001.xhtml");
        if (*c.href)
            EXPECT_NE(xhtml.find("<a href=\"" + std::string(c.href) + "\">text</a>"), std::string::npos) << xhtml;
        else
            EXPECT_EQ(xhtml.find("<a "), std::string::npos) << xhtml;
    }
}

TEST(EpubPackage, ImagesAreCheckedByTheirBytes)
{
    Book book = OneChapterBook("text");
    Block picture;
    picture.kind = BlockKind::Image;
    picture.imageId = "good";
    book.chapters[0].blocks.push_back(picture);
    picture.imageId = "bad";
    book.chapters[0].blocks.push_back(picture);
    book.images.push_back(Image{"good", "image/jpeg", TinyPng()});
    book.images.push_back(Image{"bad", "image/png", "not an image"});
    book.coverImageId = "bad";
    const std::vector<PackageEntry> entries = Build(book);
    const std::string opf = Entry(entries, "OEBPS/content.opf");
    EXPECT_NE(opf.find("href=\"images/image-1.png\" media-type=\"image/png\"/>"), std::string::npos) << opf;
    EXPECT_EQ(opf.find("image-2"), std::string::npos);
    EXPECT_EQ(opf.find("cover"), std::string::npos) << "a damaged cover makes no cover page";
    EXPECT_EQ(Entry(entries, "OEBPS/text/cover.xhtml"), "");
    const std::string xhtml = Entry(entries, "OEBPS/text/chapter-0001.xhtml");
    EXPECT_NE(xhtml.find("<img src=\"../images/image-1.png\" alt=\"Illustration\"/>"), std::string::npos);
}

TEST(EpubPackage, LargeChaptersAreSplitUnderOneEntry)
{
    Book book;
    Chapter chapter;
    chapter.title = "Long";
    for (int i = 0; i < 3000; ++i)
        chapter.blocks.push_back(TextBlock(std::string(200, 'a' + i % 26)));
    book.chapters.push_back(chapter);
    const std::vector<PackageEntry> entries = Build(book);
    size_t files = 0;
    size_t bytes = 0;
    for (const PackageEntry& entry : entries) {
        if (entry.name.rfind("OEBPS/text/chapter-", 0) == 0) {
            ++files;
            bytes = std::max(bytes, entry.content.size());
        }
    }
    EXPECT_EQ(files, 3u);
    EXPECT_LT(bytes, kChapterSplitBytes + 4096);
    EXPECT_EQ(Entry(entries, "OEBPS/nav.xhtml").find("chapter-0002"), std::string::npos);
}

TEST(EpubPackage, MetadataIsCleanedAndABookWithoutChaptersRefused)
{
    Book book = OneChapterBook("text");
    book.metadata.date = "May 2001";
    book.metadata.authors = {"  Anna   Berg ", "Anna Berg", ""};
    const std::string opf = Entry(Build(book), "OEBPS/content.opf");
    EXPECT_EQ(opf.find("dc:date"), std::string::npos);
    EXPECT_NE(opf.find("<dc:creator id=\"creator-1\">Anna Berg</dc:creator>"), std::string::npos);
    EXPECT_EQ(opf.find("creator-2"), std::string::npos);
    EXPECT_EQ(Build(book).front().name, "mimetype");
    EXPECT_FALSE(Build(book).front().compress);
    EXPECT_THROW(Build(Book{}), ConversionError);
}

} // namespace
} // namespace kelvra::test
