// The plain-text reader: headings, breaks, paragraphs and encodings.

#include "converter/chapter_headings.h"
#include "converter/conversion_error.h"
#include "converter/text_decoding.h"
#include "converter/txt_reader.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(ChapterHeadings, RecognisesHeadingsAndLeavesProseAlone)
{
    struct Case {
        const char* line;
        std::optional<HeadingRank> rank;
    };
    const Case cases[] = {
        {"Chapter 12", HeadingRank::Chapter},
        {"CHAPTER XII", HeadingRank::Chapter},
        {"Chapter XII.", HeadingRank::Chapter},
        {"chapter twenty-one", HeadingRank::Chapter},
        {"Chapter 3: The Storm", HeadingRank::Chapter},
        {"Chapter 3 \xE2\x80\x94 The Storm", HeadingRank::Chapter},
        {"Chapter 3 The Storm", HeadingRank::Chapter},
        {"  Chapter 7  ", HeadingRank::Chapter},
        {"Part One", HeadingRank::Part},
        {"PART II. THE RETURN", HeadingRank::Part},
        {"Book 3", HeadingRank::Part},
        {"Prologue", HeadingRank::Chapter},
        {"EPILOGUE.", HeadingRank::Chapter},
        {"\xD0\x93\xD0\x9B\xD0\x90\xD0\x92\xD0\x90 5", HeadingRank::Chapter}, // ГЛАВА 5
        {"Kapitel 4", HeadingRank::Chapter},
        {"Chapter 12 was the best of the whole book", std::nullopt},
        {"Chapter and verse", std::nullopt},
        {"Chapters 1 to 3", std::nullopt},
        {"Part of the deal", std::nullopt},
        {"Prologues are rare", std::nullopt},
        {"The chapter 4", std::nullopt},
        {"", std::nullopt},
        {"Chapter 1: a heading that goes on far too long to be a heading, it rather reads like a whole sentence of prose", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ChapterHeadingRank(c.line), c.rank);
    }
}

TEST(ChapterHeadings, SceneBreaks)
{
    for (const char* line : {"* * *", "***", "#", "*", "  ~~~  ", "-----", "= = ="})
        EXPECT_TRUE(IsSceneBreak(line)) << line;
    for (const char* line : {"", "--", "* a *", "-", "**", "Text"})
        EXPECT_FALSE(IsSceneBreak(line)) << line;
}

std::vector<std::string> ChapterTitles(const Book& book)
{
    std::vector<std::string> titles;
    for (const Chapter& chapter : book.chapters)
        titles.push_back(chapter.title + "@" + std::to_string(chapter.level));
    return titles;
}

TEST(TxtReader, ChaptersPartsFrontMatterAndBreaks)
{
    const Book book = BookFromPlainText("Title page\n\nPart One\n\nChapter 1\nThe Start\n\nIt began.\n\n* * *\n\n"
                                        "Later.\n\nChapter 2\n\nOn.\n\nPart Two\n\nChapter 3\n\nEnd.\n",
                                        "My Book");
    EXPECT_EQ(book.metadata.title, "My Book");
    EXPECT_EQ(ChapterTitles(book), (std::vector<std::string>{"@1", "Part One@1", "Chapter 1: The Start@2",
                                                             "Chapter 2@2", "Part Two@1", "Chapter 3@2"}));
    const Chapter& first = book.chapters[2];
    ASSERT_EQ(first.blocks.size(), 4u);
    EXPECT_EQ(first.blocks[0].kind, BlockKind::Heading);
    EXPECT_EQ(first.blocks[0].level, 2);
    EXPECT_EQ(RunsText(first.blocks[1].runs), "It began.");
    EXPECT_EQ(first.blocks[2].kind, BlockKind::SceneBreak);
}

TEST(TxtReader, AHeadingLikeLineThatReadsOnIsText)
{
    const Book book = BookFromPlainText("Chapter 5\nwas the longest of them.\n", "t");
    ASSERT_EQ(book.chapters.size(), 1u);
    EXPECT_EQ(book.chapters[0].title, "");
    EXPECT_EQ(test::BlockTexts(book), std::vector<std::string>{"Chapter 5 was the longest of them."});
}

TEST(TxtReader, ChaptersWithoutPartsAreAtTheTop)
{
    const Book book = BookFromPlainText("Chapter 1\n\nA.\n\nChapter 2\n\nB.\n", "t");
    EXPECT_EQ(ChapterTitles(book), (std::vector<std::string>{"Chapter 1@1", "Chapter 2@1"}));
}

TEST(TxtReader, ParagraphRules)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> paragraphs;
    };
    const std::string longLine(200, 'x');
    const Case cases[] = {
        {"wrapped lines join", "One line\nwrapped here.\n\nSecond.", {"One line wrapped here.", "Second."}},
        {"CR LF and CR", "A\r\nb\r\n\r\nC\rd", {"A b", "C d"}},
        {"indented first lines", "  First para\nwraps.\n  Second para\nwraps.", {"First para wraps.", "Second para wraps."}},
        {"all lines indented alike", "    Quoted\n    block.", {"Quoted block."}},
        {"one paragraph per long line", longLine + "\n" + longLine, {longLine, longLine}},
        {"blank lines with spaces", "A\n   \t\nB", {"A", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(test::BlockTexts(BookFromPlainText(c.text, "t")), c.paragraphs);
    }
}

TEST(TxtReader, WhiteSpaceOnlyIsRefused)
{
    EXPECT_THROW(BookFromPlainText(" \n\t\n", "t"), InputRejected);
}

TEST(TextDecoding, FindsTheEncoding)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string utf8;
        std::string encoding;
    };
    const std::string privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"; // Привет
    const Case cases[] = {
        {"UTF-8 without mark", "caf\xC3\xA9", "caf\xC3\xA9", "UTF-8"},
        {"UTF-8 with mark", "\xEF\xBB\xBF" "caf\xC3\xA9", "caf\xC3\xA9", "UTF-8"},
        {"UTF-16LE with mark", std::string("\xFF\xFEH\0i\0", 6), "Hi", "UTF-16LE"},
        {"UTF-16BE with mark", std::string("\xFE\xFF\0H\0i", 6), "Hi", "UTF-16BE"},
        {"UTF-16LE without mark", std::string("H\0e\0l\0l\0o\0", 10), "Hello", "UTF-16LE"},
        {"windows-1251 guessed",
         std::string(20, ' ') + "\xCF\xF0\xE8\xE2\xE5\xF2, \xEA\xE0\xEA \xE4\xE5\xEB\xE0? \xDD\xF2\xEE "
                                "\xF0\xF3\xF1\xF1\xEA\xE8\xE9 \xF2\xE5\xEA\xF1\xF2 \xE4\xEB\xFF \xEF\xF0\xEE\xE2\xE5\xF0\xEA\xE8.",
         "", "WINDOWS-1251"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText decoded = DecodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        if (!c.utf8.empty())
            EXPECT_EQ(decoded.utf8, c.utf8);
        else
            EXPECT_NE(decoded.utf8.find(privet), std::string::npos) << decoded.utf8;
    }
}

TEST(TextDecoding, UndecodableBytesBecomeReplacementCharacters)
{
    std::string out;
    ASSERT_TRUE(ConvertToUtf8("a\xFF" "b", "UTF-8", out));
    EXPECT_EQ(out, "a\xEF\xBF\xBD" "b");
    EXPECT_FALSE(ConvertToUtf8("a", "NO-SUCH-ENCODING", out));
}

} // namespace
} // namespace kelvra
