#include "converter/txt_reader.h"

#include "converter/chapter_headings.h"
#include "converter/conversion_error.h"
#include "converter/text_decoding.h"
#include "converter/xml_text.h"

#include <algorithm>
#include <vector>

namespace kelvra {

namespace {

/// Lines of one paragraph group become paragraphs joined by blanks; this many
/// bytes per line on average mark a text that puts each paragraph on one line.
constexpr size_t kUnwrappedLineBytes = 160;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

size_t Indentation(std::string_view line)
{
    size_t n = 0;
    while (n < line.size() && IsBlank(line[n]))
        ++n;
    return n;
}

bool IsBlankLine(std::string_view line)
{
    return Indentation(line) == line.size();
}

bool StartsLowerCase(std::string_view line)
{
    const size_t first = Indentation(line);
    return first < line.size() && line[first] >= 'a' && line[first] <= 'z';
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

struct Heading {
    size_t chapterIndex;
    HeadingRank rank;
};

class TextBookBuilder {
public:
    explicit TextBookBuilder(Book& book) : m_book(book) {}

    void AddGroup(const std::vector<std::string_view>& lines)
    {
        // A heading stands alone, or over one line that carries its title; a
        // second line in lower case reads on as a sentence instead.
        const bool readsOn = lines.size() == 2 && StartsLowerCase(lines[1]);
        if (lines.size() <= 2 && !readsOn) {
            if (const auto rank = ChapterHeadingRank(lines[0])) {
                StartChapter(lines, *rank);
                return;
            }
        }
        if (lines.size() == 1 && IsSceneBreak(lines[0])) {
            Current().blocks.push_back(TextBlock({}, BlockKind::SceneBreak));
            return;
        }
        AddParagraphs(lines);
    }

    /// Parts hold chapters when the book has both; otherwise all are at the top.
    void AssignLevels()
    {
        const bool hasParts = std::any_of(m_headings.begin(), m_headings.end(),
                                          [](const Heading& h) { return h.rank == HeadingRank::Part; });
        for (const Heading& heading : m_headings) {
            const int level = hasParts && heading.rank == HeadingRank::Chapter ? 2 : 1;
            Chapter& chapter = m_book.chapters[heading.chapterIndex];
            chapter.level = level;
            chapter.blocks.front().level = level;
        }
    }

private:
    Chapter& Current()
    {
        if (m_book.chapters.empty())
            m_book.chapters.emplace_back();
        return m_book.chapters.back();
    }

    void StartChapter(const std::vector<std::string_view>& lines, HeadingRank rank)
    {
        std::string title = CollapseWhitespace(lines[0]);
        if (lines.size() == 2) {
            const std::string subtitle = CollapseWhitespace(lines[1]);
            if (subtitle.size() > 80 || ChapterHeadingRank(lines[1])) {
                // Not a title line: keep it as text below the heading.
                StartChapter({lines[0]}, rank);
                AddParagraphs({lines[1]});
                return;
            }
            title += ": " + subtitle;
        }
        Chapter chapter;
        chapter.title = title;
        chapter.blocks.push_back(TextBlock(title, BlockKind::Heading));
        m_book.chapters.push_back(std::move(chapter));
        m_headings.push_back(Heading{m_book.chapters.size() - 1, rank});
    }

    void AddParagraphs(const std::vector<std::string_view>& lines)
    {
        const size_t first = 0;
        size_t minIndent = std::string_view::npos;
        size_t totalBytes = 0;
        for (size_t i = first; i < lines.size(); ++i) {
            minIndent = std::min(minIndent, Indentation(lines[i]));
            totalBytes += lines[i].size();
        }
        const bool onePerLine = lines.size() - first > 1 && totalBytes / (lines.size() - first) >= kUnwrappedLineBytes;
        std::string paragraph;
        const auto flush = [&] {
            std::string text = CollapseWhitespace(paragraph);
            if (!text.empty())
                Current().blocks.push_back(TextBlock(std::move(text)));
            paragraph.clear();
        };
        for (size_t i = first; i < lines.size(); ++i) {
            // An indented line opens a paragraph in texts that indent instead of skipping a line.
            if (onePerLine || (i > first && Indentation(lines[i]) > minIndent))
                flush();
            paragraph += lines[i];
            paragraph += ' ';
        }
        flush();
    }

    Book& m_book;
    std::vector<Heading> m_headings;
};

} // namespace

Book BookFromPlainText(std::string_view utf8, const std::string& title)
{
    Book book;
    book.metadata.title = title;
    TextBookBuilder builder(book);
    std::vector<std::string_view> group;
    for (const std::string_view line : SplitLines(utf8)) {
        if (IsBlankLine(line)) {
            if (!group.empty())
                builder.AddGroup(group);
            group.clear();
        } else {
            group.push_back(line);
        }
    }
    if (!group.empty())
        builder.AddGroup(group);
    if (book.chapters.empty())
        throw InputRejected("the text is empty");
    builder.AssignLevels();
    return book;
}

Book ReadTxtBook(const SourceFile& source)
{
    const DecodedText decoded = DecodeText(source.bytes);
    return BookFromPlainText(SanitizeUtf8(decoded.utf8), source.baseName);
}

} // namespace kelvra
