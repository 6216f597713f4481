#include "tools/demo_book/pdf_writer.h"

#include "converter/xml_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace kelvra {

namespace {

constexpr double kPageWidth = 420;
constexpr double kPageHeight = 595;
constexpr double kMargin = 50;
constexpr double kBodySize = 11;
constexpr double kParagraphSpace = 7;

double HeadingSize(int level)
{
    return level <= 1 ? 18 : level == 2 ? 14 : 12.5;
}

/// Latin-1 text for the standard fonts; anything else becomes "?".
std::string Latin1(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            out += code < 0x100 ? static_cast<char>(code) : '?';
            i += 2;
        } else {
            out += '?';
            ++i;
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
                ++i;
        }
    }
    return out;
}

std::string PdfString(const std::string& latin1)
{
    std::string out = "(";
    for (const char c : latin1) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

/// Advance widths of Helvetica for the printable ASCII characters, in
/// thousandths of the type size; others are taken as wide as a digit.
double CharacterWidth(char c)
{
    static const short kWidths[95] = {
        278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556, 556,
        556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667, 611, 778,
        722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278,
        278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,
        556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 32 && u < 127 ? kWidths[u - 32] : 556) / 1000.0;
}

/// The width of `text` in Helvetica at `size`; bold faces run about a tenth wider.
double TextWidth(const std::string& text, double size, bool bold)
{
    double width = 0;
    for (const char c : text)
        width += CharacterWidth(c);
    return width * size * (bold ? 1.1 : 1.0);
}

const char* FontName(std::uint32_t styles)
{
    if (styles & StyleBold)
        return "/F2";
    if (styles & StyleItalic)
        return "/F3";
    return "/F1";
}

struct Word {
    std::string text; ///< Latin-1
    std::uint32_t styles = StylePlain;
};

std::vector<Word> Words(const std::vector<InlineRun>& runs)
{
    std::vector<Word> words;
    for (const InlineRun& run : runs) {
        if (!run.imageId.empty())
            continue;
        const std::string text = Latin1(CollapseWhitespace(run.text == "\n" ? " " : run.text));
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos)
                end = text.size();
            if (end > start)
                words.push_back(Word{text.substr(start, end - start), run.styles});
            start = end + 1;
        }
    }
    return words;
}

struct OutlineItem {
    std::string title;
    int level = 1;
    size_t page = 0;
    double y = 0;
};

class PdfComposer {
public:
    explicit PdfComposer(const PdfWriteOptions& options) : m_options(options) {}

    void AddChapter(const Chapter& chapter)
    {
        NewPage();
        if (!chapter.title.empty())
            m_outline.push_back(OutlineItem{Latin1(CollapseWhitespace(chapter.title)), chapter.level,
                                            m_pages.size() - 1, m_y});
        for (const Block& block : chapter.blocks) {
            if (block.kind == BlockKind::Heading)
                AddParagraph(Words(block.runs), HeadingSize(block.level), StyleBold);
            else if (block.kind == BlockKind::Paragraph)
                AddParagraph(Words(block.runs), kBodySize, StylePlain);
        }
    }

    std::vector<std::string>& Pages() { return m_pages; }
    const std::vector<OutlineItem>& Outline() const { return m_outline; }

private:
    void NewPage()
    {
        m_pages.emplace_back();
        m_font.clear();
        m_y = kPageHeight - kMargin;
    }

    void AddParagraph(const std::vector<Word>& words, double size, std::uint32_t extraStyle)
    {
        if (words.empty())
            return;
        const double leading = size * 1.3;
        const double width = kPageWidth - 2 * kMargin;
        size_t first = 0;
        while (first < words.size()) {
            double used = 0;
            size_t last = first;
            while (last < words.size()) {
                const bool bold = ((words[last].styles | extraStyle) & StyleBold) != 0;
                const double wordWidth = TextWidth(words[last].text + " ", size, bold);
                if (last > first && used + wordWidth > width)
                    break;
                used += wordWidth;
                ++last;
            }
            if (m_y - leading < kMargin)
                NewPage();
            m_y -= leading;
            AddLine(words, first, last, size, extraStyle);
            first = last;
        }
        m_y -= kParagraphSpace;
    }

    void AddLine(const std::vector<Word>& words, size_t first, size_t last, double size, std::uint32_t extraStyle)
    {
        std::string& page = m_pages.back();
        if (!m_options.textLayer) {
            // A grey bar where the line would be.
            const double length = std::min<double>(kPageWidth - 2 * kMargin, static_cast<double>(last - first) * 30);
            page += "0.6 g " + Number(kMargin) + " " + Number(m_y) + " " + Number(length) + " " + Number(size * 0.7) +
                    " re f\n";
            return;
        }
        // As PDF writers do, the font is set only where it changes (the text
        // state lasts across text objects) and each run of words in one font
        // is a single string.
        page += "BT 1 0 0 1 " + Number(kMargin) + " " + Number(m_y) + " Tm\n";
        size_t i = first;
        while (i < last) {
            const std::string font = std::string(FontName(words[i].styles | extraStyle)) + " " + Number(size) + " Tf";
            std::string text;
            do {
                text += words[i].text + (i + 1 < last ? " " : "");
                ++i;
            } while (i < last && FontName(words[i].styles | extraStyle) == FontName(words[i - 1].styles | extraStyle));
            if (font != m_font) {
                page += font + " ";
                m_font = font;
            }
            page += PdfString(text) + " Tj\n";
        }
        page += "ET\n";
    }

    const PdfWriteOptions& m_options;
    std::vector<std::string> m_pages;
    std::vector<OutlineItem> m_outline;
    double m_y = 0;
    std::string m_font; ///< the font operator in force on the current page
};

/// Numbers objects and writes the file with its cross-reference table.
class PdfFile {
public:
    size_t Reserve()
    {
        m_objects.emplace_back();
        return m_objects.size();
    }

    void Set(size_t number, std::string body) { m_objects[number - 1] = std::move(body); }

    size_t Add(std::string body)
    {
        const size_t number = Reserve();
        Set(number, std::move(body));
        return number;
    }

    std::string Finish(size_t catalog, size_t info, const std::string& encrypt) const
    {
        std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        std::vector<size_t> offsets;
        for (size_t i = 0; i < m_objects.size(); ++i) {
            offsets.push_back(out.size());
            out += std::to_string(i + 1) + " 0 obj\n" + m_objects[i] + "\nendobj\n";
        }
        const size_t xref = out.size();
        out += "xref\n0 " + std::to_string(m_objects.size() + 1) + "\n0000000000 65535 f \n";
        for (const size_t offset : offsets) {
            char line[24];
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
            out += line;
        }
        out += "trailer\n<< /Size " + std::to_string(m_objects.size() + 1) + " /Root " + std::to_string(catalog) +
               " 0 R /Info " + std::to_string(info) + " 0 R" + encrypt + " >>\nstartxref\n" + std::to_string(xref) +
               "\n%%EOF\n";
        return out;
    }

private:
    std::vector<std::string> m_objects;
};

std::string Ref(size_t number)
{
    return std::to_string(number) + " 0 R";
}

std::string Stream(const std::string& content)
{
    return "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream";
}

/// Outline items as a tree by level, each entry linked to its parent and siblings.
size_t WriteOutline(PdfFile& file, const std::vector<OutlineItem>& items, const std::vector<size_t>& pageRefs)
{
    const size_t root = file.Reserve();
    std::vector<size_t> numbers;
    for (size_t i = 0; i < items.size(); ++i)
        numbers.push_back(file.Reserve());
    std::vector<long> parent(items.size(), -1);
    std::vector<long> stack;
    for (size_t i = 0; i < items.size(); ++i) {
        while (!stack.empty() && items[static_cast<size_t>(stack.back())].level >= items[i].level)
            stack.pop_back();
        parent[i] = stack.empty() ? -1 : stack.back();
        stack.push_back(static_cast<long>(i));
    }
    const auto children = [&](long of) {
        std::vector<size_t> list;
        for (size_t i = 0; i < items.size(); ++i)
            if (parent[i] == of)
                list.push_back(i);
        return list;
    };
    const auto linkChildren = [&](long of, size_t ownNumber) {
        const std::vector<size_t> list = children(of);
        for (size_t k = 0; k < list.size(); ++k) {
            const size_t i = list[k];
            std::string body = "<< /Title " + PdfString(items[i].title) + " /Parent " + Ref(ownNumber) + " /Dest [" +
                               Ref(pageRefs[items[i].page]) + " /XYZ " + Number(kMargin) + " " +
                               Number(items[i].y) + " 0]";
            if (k > 0)
                body += " /Prev " + Ref(numbers[list[k - 1]]);
            if (k + 1 < list.size())
                body += " /Next " + Ref(numbers[list[k + 1]]);
            const std::vector<size_t> grand = children(static_cast<long>(i));
            if (!grand.empty())
                body += " /First " + Ref(numbers[grand.front()]) + " /Last " + Ref(numbers[grand.back()]) +
                        " /Count " + std::to_string(grand.size());
            file.Set(numbers[i], body + " >>");
        }
        return list;
    };
    const std::vector<size_t> top = linkChildren(-1, root);
    for (size_t i = 0; i < items.size(); ++i)
        linkChildren(static_cast<long>(i), numbers[i]);
    if (top.empty()) {
        file.Set(root, "<< /Type /Outlines /Count 0 >>");
    } else {
        file.Set(root, "<< /Type /Outlines /First " + Ref(numbers[top.front()]) + " /Last " +
                           Ref(numbers[top.back()]) + " /Count " + std::to_string(top.size()) + " >>");
    }
    return root;
}

/// The font resources, each font an object of its own as in the files of
/// most producers.
std::string Fonts(PdfFile& file)
{
    std::string fonts = "<<";
    const char* names[] = {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique"};
    for (int i = 0; i < 3; ++i)
        fonts += " /F" + std::to_string(i + 1) + " " +
                 Ref(file.Add(std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + names[i] +
                              " /Encoding /WinAnsiEncoding >>"));
    return fonts + " >>";
}

std::string Assemble(const std::vector<std::string>& pageContents, const std::vector<OutlineItem>& outline,
                     const Metadata& metadata, const PdfWriteOptions& options)
{
    PdfFile file;
    const size_t catalog = file.Reserve();
    const size_t pagesNode = file.Reserve();
    const size_t fonts = file.Add(Fonts(file));
    std::vector<size_t> pageRefs;
    std::string kids;
    for (const std::string& content : pageContents) {
        const size_t stream = file.Add(Stream(content));
        pageRefs.push_back(file.Add("<< /Type /Page /Parent " + Ref(pagesNode) + " /MediaBox [0 0 " +
                                    Number(kPageWidth) + " " + Number(kPageHeight) + "] /Resources << /Font " +
                                    Ref(fonts) + " >> /Contents " + Ref(stream) + " >>"));
        kids += Ref(pageRefs.back()) + " ";
    }
    file.Set(pagesNode, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageRefs.size()) + " >>");
    std::string catalogBody = "<< /Type /Catalog /Pages " + Ref(pagesNode);
    if (options.outline && !outline.empty())
        catalogBody += " /Outlines " + Ref(WriteOutline(file, outline, pageRefs)) + " /PageMode /UseOutlines";
    file.Set(catalog, catalogBody + " >>");

    std::string authors;
    for (const std::string& author : metadata.authors)
        authors += (authors.empty() ? "" : "; ") + author;
    std::string info = "<< /Producer (Kelvra sample writer)";
    if (!metadata.title.empty())
        info += " /Title " + PdfString(Latin1(metadata.title));
    if (!authors.empty())
        info += " /Author " + PdfString(Latin1(authors));
    if (!metadata.description.empty())
        info += " /Subject " + PdfString(Latin1(metadata.description));
    const size_t infoNumber = file.Add(info + " >>");

    std::string encrypt;
    if (options.needsPassword) {
        const std::string key(64, 'A');
        const size_t dictionary = file.Add("<< /Filter /Standard /V 1 /R 2 /O <" + key + "> /U <" + key +
                                           "> /P -3904 >>");
        encrypt = " /Encrypt " + Ref(dictionary) + " /ID [<0123456789ABCDEF0123456789ABCDEF> "
                  "<0123456789ABCDEF0123456789ABCDEF>]";
    }
    return file.Finish(catalog, infoNumber, encrypt);
}

} // namespace

std::string WritePdfBook(const Book& book, const PdfWriteOptions& options)
{
    PdfComposer composer(options);
    for (const Chapter& chapter : book.chapters)
        composer.AddChapter(chapter);
    if (composer.Pages().empty())
        composer.Pages().emplace_back();
    return Assemble(composer.Pages(), composer.Outline(), book.metadata, options);
}

std::string WriteEmptyPagesPdf(int pageCount)
{
    return Assemble(std::vector<std::string>(static_cast<size_t>(std::max(pageCount, 1))), {}, Metadata{},
                    PdfWriteOptions{});
}

} // namespace kelvra
