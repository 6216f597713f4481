// The RTF reader: text, escapes, code pages, destinations, structure, refusals.

#include "converter/conversion_error.h"
#include "converter/rtf_reader.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

namespace kelvra::test {
namespace {

Book Read(const std::string& bytes)
{
    return ReadRtfBook(SourceFile{"doc.rtf", "doc", bytes});
}

TEST(RtfReader, TextEscapesAndCodePages)
{
    struct Case {
        const char* name;
        std::string body;
        std::string text;
    };
    const Case cases[] = {
        {"plain text, source line ends ignored", "Hello\r\n world", "Hello world"},
        {"\\'hh in the document code page", "caf\\'e9", "caf\xC3\xA9"},
        {"\\uN skips one fallback character, keeps the next", "\\u8364?x", "\xE2\x82\xAC" "x"},
        {"\\uc2 skips two, \\'hh counts as one", "\\uc2\\u8212\\'97\\'97x", "\xE2\x80\x94" "x"},
        {"\\uc0 skips nothing", "\\uc0\\u233 e", "\xC3\xA9" "e"},
        {"negative \\uN", "\\u-4064?", "\xEF\x80\xA0"},
        {"surrogate pair", "\\u-10179?\\u-8704?", "\xF0\x9F\x98\x80"},
        {"fallback ends at a group end", "{\\uc3\\u233 a}bc", "\xC3\xA9" "bc"},
        {"escaped braces and backslash", "\\{a\\}\\\\", "{a}\\"},
        {"non-breaking space", "a\\~b", "a\xC2\xA0" "b"},
        {"optional hyphen vanishes", "co\\-op", "coop"},
        {"line break", "a\\line b", "a b"},
        {"hidden text dropped", "a{\\v secret}b", "ab"},
        {"unknown starred destination skipped", "a{\\*\\unknowndest zzz}b", "ab"},
        {"font table charset decides the code page", "{\\f1 \\'cf\\'f0}", "\xD0\x9F\xD1\x80"},
        {"text before any \\f is in the default font", "\\deff1 \\'cf\\'f0", "\xD0\x9F\xD1\x80"},
        {"\\bin data skipped", "a{\\*\\blob\\bin3 }}}}b", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string document =
            "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Times;}{\\f1\\fcharset204 Cyr;}}" + c.body + "\\par}";
        EXPECT_EQ(BlockTexts(Read(document)), std::vector<std::string>{c.text});
    }
}

TEST(RtfReader, SampleDocumentStructure)
{
    const Book book = Read(SampleRtf());
    EXPECT_EQ(book.metadata.title, "RTF Title");
    EXPECT_EQ(book.metadata.authors, std::vector<std::string>{"Ivan Petrov"});
    EXPECT_EQ(book.metadata.language, "de");
    std::vector<std::string> toc;
    for (const Chapter& chapter : book.chapters)
        toc.push_back(chapter.title);
    EXPECT_EQ(toc, (std::vector<std::string>{"Chapter One", "Chapter Two", "Notes"}));
    const std::vector<std::string> paragraphs = BlockTexts(book);
    const std::vector<std::string> expected = {
        "Chapter One",
        "Plain bold italic under caf\xC3\xA9 \xE2\x82\xAC euro, \xE2\x80\x94 dash, kept.",
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
        "Footnote here continues.",
        "a link",
        "Picture 1",
        "Chapter Two",
        "Last paragraph.",
        "Notes",
        " The footnote text.",
    };
    EXPECT_EQ(paragraphs, expected);
    const Block& styled = book.chapters[0].blocks[1];
    EXPECT_EQ(styled.runs[1].text, "bold");
    EXPECT_EQ(styled.runs[1].styles, StyleBold);
    EXPECT_EQ(styled.runs[3].styles, StyleItalic);
    EXPECT_EQ(styled.runs[5].styles, StyleUnderline);
    EXPECT_EQ(book.chapters[0].blocks[4].runs[0].link, "http://example.com/");
    ASSERT_EQ(book.images.size(), 1u) << "the WMF fallback picture is skipped";
    EXPECT_EQ(book.images[0].data, TinyPng());
    EXPECT_EQ(book.chapters[0].blocks[5].runs[0].imageId, book.images[0].id);
}

TEST(RtfReader, HeadingsByOutlineLevelAndByText)
{
    const Book book = Read("{\\rtf1\\pard\\outlinelevel1 Deep heading\\par\\pard Body.\\par Part Two\\par Chapter 3\\par Text.\\par}");
    std::vector<std::string> toc;
    for (const Chapter& chapter : book.chapters)
        toc.push_back(chapter.title + "@" + std::to_string(chapter.level));
    EXPECT_EQ(toc, (std::vector<std::string>{"Deep heading@2", "Part Two@1", "Chapter 3@2"}));
}

TEST(RtfReader, RefusesDamagedDocuments)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* messagePart;
    };
    const std::string sample = SampleRtf();
    const Case cases[] = {
        {"cut off", sample.substr(0, sample.size() / 2), "cut off"},
        {"not RTF", "Hello", "not RTF"},
        {"no text", "{\\rtf1{\\fonttbl{\\f0 Times;}}\\par}", "no text"},
        {"groups nested too deeply", "{\\rtf1" + std::string(100000, '{') + std::string(100000, '}') + "}", "too deeply"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string message = RefusalMessage(&ReadRtfBook, c.bytes);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << (message.empty() ? "accepted" : message);
        EXPECT_FALSE(message.empty());
    }
}

} // namespace
} // namespace kelvra::test
