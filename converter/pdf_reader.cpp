#include "converter/pdf_reader.h"

#include "converter/conversion_error.h"
#include "converter/pdf_layout.h"
#include "converter/xml_text.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page.h>
#include <poppler/cpp/poppler-toc.h>

#include <algorithm>
#include <climits>
#include <string_view>
#include <ctime>
#include <memory>

namespace kelvra {

namespace {

/// Outline levels below this are read as this deep.
constexpr int kMaxOutlineDepth = 6;

/// poppler's own conversion opens an iconv converter for every call, which
/// for every word of a book costs more than reading the page.
std::string Utf8(const poppler::ustring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

void DiscardPopplerMessage(const std::string&, void*) {}

/// poppler reports syntax errors of damaged files on standard error; the
/// converter's standard error carries its own one-line reason only.
void SilencePoppler()
{
    static const bool silenced = [] {
        poppler::set_debug_error_function(&DiscardPopplerMessage, nullptr);
        return true;
    }();
    (void)silenced;
}

/// The words of a page in reading order. poppler's font details would cost
/// more than twice the time of the text itself, so the type size is judged
/// by the height of each word's box, which grows with it in every font;
/// bold and italic are not read.
std::vector<PdfWord> PageWords(const poppler::page& page)
{
    std::vector<PdfWord> words;
    for (const poppler::text_box& box : page.text_list()) {
        PdfWord word;
        word.text = Utf8(box.text());
        const poppler::rectf r = box.bbox();
        word.left = r.left();
        word.top = r.top();
        word.right = r.right();
        word.bottom = r.bottom();
        word.fontSize = r.height();
        word.spaceAfter = box.has_space_after();
        words.push_back(std::move(word));
    }
    return words;
}

void CollectOutline(const poppler::toc_item* item, int level, std::vector<PdfOutlineEntry>& out)
{
    for (const poppler::toc_item* child : item->children()) {
        const std::string title = CollapseWhitespace(SanitizeUtf8(Utf8(child->title())));
        if (!title.empty())
            out.push_back(PdfOutlineEntry{title, std::min(level, kMaxOutlineDepth)});
        if (level < 64)
            CollectOutline(child, level + 1, out);
    }
}

std::vector<PdfOutlineEntry> ReadOutline(const poppler::document& doc)
{
    std::vector<PdfOutlineEntry> outline;
    std::unique_ptr<poppler::toc> toc(doc.create_toc());
    if (toc && toc->root())
        CollectOutline(toc->root(), 1, outline);
    return outline;
}

Metadata ReadMetadata(const poppler::document& doc)
{
    Metadata metadata;
    metadata.title = CollapseWhitespace(SanitizeUtf8(Utf8(doc.get_title())));
    // Several authors are usually separated by semicolons; a comma may stand
    // inside one name ("Wren, Ada").
    const std::string authors = SanitizeUtf8(Utf8(doc.get_author()));
    size_t start = 0;
    while (start <= authors.size()) {
        const size_t end = std::min(authors.find(';', start), authors.size());
        const std::string name = CollapseWhitespace(authors.substr(start, end - start));
        if (!name.empty())
            metadata.authors.push_back(name);
        start = end + 1;
    }
    metadata.description = CollapseWhitespace(SanitizeUtf8(Utf8(doc.get_subject())));
    const std::time_t created = doc.get_creation_date_t();
    if (created > 0) {
        std::tm utc{};
        if (gmtime_r(&created, &utc)) {
            char date[16];
            std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
            metadata.date = date;
        }
    }
    return metadata;
}

} // namespace

Book ReadPdfBook(const SourceFile& source)
{
    SilencePoppler();
    if (source.bytes.size() > static_cast<size_t>(INT_MAX))
        throw ConversionError("the PDF is too large to read");
    // poppler rebuilds what it can of a file cut short and would report it
    // whole; a book missing its end marker is refused instead. A few writers
    // append some bytes after the marker; the last 8 KB allow for them.
    const std::string_view bytes = source.bytes;
    const std::string_view tail = bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 8192));
    if (tail.find("%%EOF") == std::string_view::npos)
        throw InputRejected("the PDF is cut short (its end-of-file marker is missing)");
    std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(source.bytes.data(), static_cast<int>(source.bytes.size())));
    if (!doc)
        throw InputRejected("not a readable PDF (damaged or cut short)");
    if (doc->is_locked())
        throw ConversionError("the PDF is encrypted and needs a password to open; remove the password first");
    const int pageCount = doc->pages();
    if (pageCount <= 0)
        throw InputRejected("the PDF has no pages");
    if (pageCount > kMaxPdfPages)
        throw ConversionError("the PDF has too many pages (" + std::to_string(pageCount) + "; the limit is " +
                              std::to_string(kMaxPdfPages) + ")");

    PdfBlockBuilder builder;
    bool anyText = false;
    for (int i = 0; i < pageCount; ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        std::vector<PdfLine> lines = page ? GroupPdfLines(PageWords(*page)) : std::vector<PdfLine>();
        anyText = anyText || !lines.empty();
        builder.AddPage(std::move(lines));
    }
    if (!anyText)
        throw ConversionError("the PDF has no text: its pages are images or drawings without a text layer "
                              "(scanned pages need text recognition first)");

    std::vector<Block> blocks = builder.Take();
    std::map<size_t, ChapterStart> starts = OutlineChapterStarts(blocks, ReadOutline(*doc));
    if (starts.empty())
        starts = HeadingChapterStarts(blocks);

    Book book;
    book.metadata = ReadMetadata(*doc);
    if (book.metadata.title.empty())
        book.metadata.title = source.baseName;
    book.chapters = SplitIntoChapters(std::move(blocks), starts, {});
    return book;
}

} // namespace kelvra
