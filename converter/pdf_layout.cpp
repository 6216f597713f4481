#include "converter/pdf_layout.h"

#include "converter/xml_text.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace kelvra {

namespace {

/// Type at least this much larger than the body text makes a heading.
constexpr double kHeadingScale = 1.2;
/// Headings are short; longer text in large type is body text.
constexpr size_t kMaxHeadingBytes = 200;
/// A step between lines this much larger than the usual one ends a paragraph.
constexpr double kParagraphGapScale = 1.35;

double Height(double top, double bottom)
{
    return std::max(bottom - top, 0.1);
}

std::uint32_t WordStyles(const PdfWord& word)
{
    return (word.bold ? StyleBold : StylePlain) | (word.italic ? StyleItalic : StylePlain);
}

void AppendRun(std::vector<InlineRun>& runs, const std::string& text, std::uint32_t styles)
{
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().styles == styles) {
        runs.back().text += text;
        return;
    }
    InlineRun run;
    run.text = text;
    run.styles = styles;
    runs.push_back(std::move(run));
}

bool StartsNewLine(const PdfLine& line, const PdfWord& word)
{
    const double overlap = std::min(line.bottom, word.bottom) - std::max(line.top, word.top);
    const double height = std::min(Height(line.top, line.bottom), Height(word.top, word.bottom));
    // Words on one line overlap vertically and move rightwards.
    return overlap < 0.5 * height || word.left < line.right - 0.5 * word.fontSize;
}

bool IsPageNumber(const std::string& text)
{
    return !text.empty() && text.size() <= 6 &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' '; });
}

double RoundedSize(double size)
{
    return std::round(size * 2) / 2;
}

/// The type size most of the text is set in.
double BodySize(const std::vector<std::vector<PdfLine>>& pages)
{
    std::map<double, size_t> bytesBySize;
    for (const auto& page : pages)
        for (const PdfLine& line : page)
            bytesBySize[RoundedSize(line.fontSize)] += line.text.size();
    double best = 0;
    size_t bestBytes = 0;
    for (const auto& [size, bytes] : bytesBySize)
        if (bytes > bestBytes) {
            best = size;
            bestBytes = bytes;
        }
    return best;
}

/// The usual step from one line of body text to the next.
double LinePitch(const std::vector<std::vector<PdfLine>>& pages, double bodySize)
{
    std::vector<double> steps;
    for (const auto& page : pages)
        for (size_t i = 1; i < page.size() && steps.size() < 100000; ++i) {
            const double step = page[i].top - page[i - 1].top;
            if (RoundedSize(page[i].fontSize) == bodySize && RoundedSize(page[i - 1].fontSize) == bodySize &&
                step > 0 && step < 3 * bodySize)
                steps.push_back(step);
        }
    if (steps.empty())
        return bodySize * 1.2;
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2), steps.end());
    return steps[steps.size() / 2];
}

bool EndsSentence(const std::string& text)
{
    if (text.empty())
        return false;
    static const std::string kEnds = ".!?:\"')";
    if (kEnds.find(text.back()) != std::string::npos)
        return true;
    // Closing quotation marks written in UTF-8.
    return text.size() >= 3 && (text.compare(text.size() - 3, 3, "\u201D") == 0 || text.compare(text.size() - 3, 3, "\u2019") == 0);
}

bool IsLowerAsciiLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

bool IsAsciiLetter(char c)
{
    return IsLowerAsciiLetter(c) || (c >= 'A' && c <= 'Z');
}

size_t Utf8Length(const std::string& text)
{
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

/// True when the first word of `line` would have fitted at the end of
/// `previous`: then the line break was the writer's choice, not the
/// typesetter's, which in ragged-right text marks a paragraph's end. Widths
/// are judged by the line's average character width, with a fifth to spare.
bool NextWordWouldFit(const PdfLine& previous, const PdfLine& line, double rightEdge)
{
    const size_t characters = Utf8Length(line.text);
    if (characters == 0)
        return false;
    const double characterWidth = (line.right - line.left) / static_cast<double>(characters);
    const std::string firstWord = line.text.substr(0, line.text.find(' '));
    const double needed = 1.2 * characterWidth * static_cast<double>(Utf8Length(firstWord) + 1);
    return previous.right + needed < rightEdge;
}

class ParagraphBuilder {
public:
    ParagraphBuilder(double bodySize, double pitch) : m_bodySize(bodySize), m_pitch(pitch) {}

    void AddPage(const std::vector<PdfLine>& lines)
    {
        Flush();
        size_t first = 0;
        size_t last = lines.size();
        if (last > first && IsPageNumber(lines[first].text))
            ++first;
        if (last > first && IsPageNumber(lines[last - 1].text))
            --last;
        double rightEdge = 0;
        for (size_t i = first; i < last; ++i)
            rightEdge = std::max(rightEdge, lines[i].right);
        const PdfLine* previous = nullptr;
        for (size_t i = first; i < last; ++i) {
            const PdfLine& line = lines[i];
            if (previous && EndsParagraph(*previous, line, rightEdge))
                Flush();
            AddLine(line);
            previous = &line;
        }
        Flush();
    }

    std::vector<Block> Take()
    {
        Flush();
        AssignHeadingLevels();
        return std::move(m_blocks);
    }

private:
    bool EndsParagraph(const PdfLine& previous, const PdfLine& line, double rightEdge) const
    {
        const double size = std::max(line.fontSize, 0.1);
        if (std::abs(line.fontSize - m_size) > 0.1 * std::max(m_size, size))
            return true;
        const double step = line.top - previous.top;
        if (step < 0 || step > kParagraphGapScale * std::max(m_pitch, size * 1.1))
            return true;
        if (line.left - m_left > 0.8 * size && line.left - m_left < 15 * size)
            return true;
        return NextWordWouldFit(previous, line, rightEdge) && EndsSentence(previous.text);
    }

    void AddLine(const PdfLine& line)
    {
        if (m_runs.empty()) {
            m_size = line.fontSize;
            m_left = line.left;
        } else {
            m_left = std::min(m_left, line.left);
            JoinLineBreak(line);
        }
        for (const InlineRun& run : line.runs)
            AppendRun(m_runs, run.text, run.styles);
        m_bytes += line.text.size();
    }

    /// Joins a new line to the paragraph: a word broken by a hyphen at the
    /// line's end is made whole, other line ends become a blank.
    void JoinLineBreak(const PdfLine& line)
    {
        std::string& tail = m_runs.back().text;
        const bool hyphenated = tail.size() >= 2 && tail.back() == '-' && IsAsciiLetter(tail[tail.size() - 2]) &&
                                !line.text.empty() && IsLowerAsciiLetter(line.text.front());
        if (hyphenated)
            tail.pop_back();
        else if (tail.back() != ' ')
            tail += ' ';
    }

    void Flush()
    {
        if (m_runs.empty())
            return;
        Block block;
        block.runs = std::move(m_runs);
        m_runs.clear();
        const bool large = m_bodySize > 0 && m_size >= kHeadingScale * m_bodySize;
        if (large && m_bytes <= kMaxHeadingBytes) {
            block.kind = BlockKind::Heading;
            // Headings set in bold throughout are bold by their nature.
            if (std::all_of(block.runs.begin(), block.runs.end(), [](const InlineRun& r) { return r.styles & StyleBold; }))
                for (InlineRun& run : block.runs)
                    run.styles &= ~static_cast<std::uint32_t>(StyleBold);
            m_headingSizes.push_back(RoundedSize(m_size));
        }
        m_blockSizes.push_back(RoundedSize(m_size));
        m_blocks.push_back(std::move(block));
        m_bytes = 0;
    }

    void AssignHeadingLevels()
    {
        // The largest heading type is level 1, the next size level 2, and so on.
        std::set<double, std::greater<double>> sizes(m_headingSizes.begin(), m_headingSizes.end());
        for (size_t i = 0; i < m_blocks.size(); ++i) {
            if (m_blocks[i].kind != BlockKind::Heading)
                continue;
            const auto rank = std::distance(sizes.begin(), sizes.find(m_blockSizes[i]));
            m_blocks[i].level = static_cast<int>(std::min<long>(rank + 1, 6));
        }
    }

    double m_bodySize;
    double m_pitch;
    std::vector<Block> m_blocks;
    std::vector<double> m_blockSizes;
    std::vector<double> m_headingSizes;
    std::vector<InlineRun> m_runs;
    double m_size = 0;
    double m_left = 0;
    size_t m_bytes = 0;
};

/// Letters and digits only, lower-cased where ASCII: titles in an outline
/// and in the text differ in case, blanks and punctuation.
std::string MatchKey(const std::string& text, size_t limit)
{
    std::string key;
    for (const char c : text) {
        if (key.size() >= limit)
            break;
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (c >= '0' && c <= '9') || IsLowerAsciiLetter(c))
            key += c;
        else if (c >= 'A' && c <= 'Z')
            key += static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

} // namespace

std::vector<PdfLine> GroupPdfLines(const std::vector<PdfWord>& words)
{
    std::vector<PdfLine> lines;
    bool spaceBefore = false;
    for (const PdfWord& word : words) {
        const std::string text = SanitizeUtf8(word.text);
        if (std::all_of(text.begin(), text.end(), IsBlank))
            continue;
        if (lines.empty() || StartsNewLine(lines.back(), word)) {
            PdfLine line;
            line.left = word.left;
            line.top = word.top;
            line.right = word.right;
            line.bottom = word.bottom;
            line.fontSize = word.fontSize;
            lines.push_back(std::move(line));
        } else {
            PdfLine& line = lines.back();
            // A gap wider than a thin space separates words the file did not mark.
            if (spaceBefore || word.left - line.right > 0.15 * word.fontSize) {
                // The blank between a bold and a plain word belongs to neither style.
                AppendRun(line.runs, " ", line.runs.back().styles & WordStyles(word));
                line.text += ' ';
            }
            line.right = std::max(line.right, word.right);
            line.top = std::min(line.top, word.top);
            line.bottom = std::max(line.bottom, word.bottom);
            line.fontSize = std::max(line.fontSize, word.fontSize);
        }
        AppendRun(lines.back().runs, text, WordStyles(word));
        lines.back().text += text;
        spaceBefore = word.spaceAfter;
    }
    return lines;
}

std::vector<Block> BuildPdfBlocks(const std::vector<std::vector<PdfLine>>& pages)
{
    PdfBlockBuilder builder;
    for (const auto& page : pages)
        builder.AddPage(page);
    return builder.Take();
}

/// The body text's measures come from this many pages at the start.
constexpr size_t kSamplePages = 40;

class PdfBlockBuilder::Paragraphs : public ParagraphBuilder {
public:
    using ParagraphBuilder::ParagraphBuilder;
};

PdfBlockBuilder::PdfBlockBuilder() = default;
PdfBlockBuilder::~PdfBlockBuilder() = default;

void PdfBlockBuilder::StartParagraphs()
{
    const double bodySize = BodySize(m_sample);
    m_paragraphs = std::make_unique<Paragraphs>(bodySize, LinePitch(m_sample, bodySize));
    for (const auto& page : m_sample)
        m_paragraphs->AddPage(page);
    m_sample.clear();
}

void PdfBlockBuilder::AddPage(std::vector<PdfLine> lines)
{
    if (m_paragraphs) {
        m_paragraphs->AddPage(lines);
        return;
    }
    m_sample.push_back(std::move(lines));
    if (m_sample.size() >= kSamplePages)
        StartParagraphs();
}

std::vector<Block> PdfBlockBuilder::Take()
{
    if (!m_paragraphs)
        StartParagraphs();
    return m_paragraphs->Take();
}

std::map<size_t, ChapterStart> OutlineChapterStarts(std::vector<Block>& blocks,
                                                    const std::vector<PdfOutlineEntry>& outline)
{
    constexpr size_t kKeyLimit = 120;
    // Bounds on the search keep a hostile outline from taking hours.
    constexpr size_t kMaxEntries = 5000;
    constexpr size_t kSearchWindow = 20000;
    std::vector<std::string> keys;
    keys.reserve(blocks.size());
    for (const Block& block : blocks)
        keys.push_back(MatchKey(RunsText(block.runs), kKeyLimit));

    std::map<size_t, ChapterStart> starts;
    size_t cursor = 0;
    for (size_t n = 0; n < outline.size() && n < kMaxEntries; ++n) {
        const PdfOutlineEntry& entry = outline[n];
        const std::string title = CollapseWhitespace(SanitizeUtf8(entry.title));
        const std::string key = MatchKey(title, kKeyLimit);
        if (key.empty())
            continue;
        for (size_t i = cursor; i < blocks.size() && i < cursor + kSearchWindow; ++i) {
            const std::string& text = keys[i];
            const bool found = !text.empty() && (text.rfind(key, 0) == 0 || (blocks[i].kind == BlockKind::Heading &&
                                                                             key.rfind(text, 0) == 0));
            if (!found)
                continue;
            Block& block = blocks[i];
            if (block.kind == BlockKind::Paragraph && RunsText(block.runs).size() <= kMaxHeadingBytes) {
                block.kind = BlockKind::Heading;
                block.level = std::clamp(entry.level, 1, 6);
            }
            starts.emplace(i, ChapterStart{title, std::clamp(entry.level, 1, 6)});
            cursor = i + 1;
            break;
        }
    }
    return starts;
}

} // namespace kelvra
