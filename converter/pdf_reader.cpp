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
#include <condition_variable>
#include <ctime>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

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

/// The lines of page `index`; a page poppler cannot open has none.
std::vector<PdfLine> ReadPageLines(const poppler::document& doc, int index)
{
    std::unique_ptr<poppler::page> page(doc.create_page(index));
    return page ? GroupPdfLines(PageWords(*page)) : std::vector<PdfLine>();
}

/// Reads the odd pages of a PDF on a thread of its own while the caller reads
/// the even ones, which halves the wall time of text extraction, the bulk of
/// a PDF's conversion. The thread works on its own poppler document over the
/// same bytes (the owner keeps both alive): documents share nothing but
/// poppler's global settings, which poppler guards itself. The thread stays at
/// most kReadAhead pages ahead of the caller, so a long document's lines are
/// not all held at once. Take() is called from the owning thread only, with
/// odd page numbers in rising order.
class OddPageReader {
public:
    OddPageReader(const poppler::document& doc, int pageCount)
        : m_doc(doc), m_pageCount(pageCount), m_thread([this] { Run(); })
    {
    }

    ~OddPageReader()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    OddPageReader(const OddPageReader&) = delete;
    OddPageReader& operator=(const OddPageReader&) = delete;

    /// The lines of odd page `index`, waiting for the thread if needed; what
    /// the thread failed with (out of memory) is thrown here.
    std::vector<PdfLine> Take(int index)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_ready.count(index) != 0 || m_error; });
        if (m_ready.count(index) == 0)
            std::rethrow_exception(m_error);
        std::vector<PdfLine> lines = std::move(m_ready[index]);
        m_ready.erase(index);
        m_taken = index;
        lock.unlock();
        m_changed.notify_all();
        return lines;
    }

private:
    static constexpr int kReadAhead = 16;

    void Run()
    {
        for (int index = 1; index < m_pageCount; index += 2) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return m_stop || index - m_taken <= kReadAhead; });
                if (m_stop)
                    return;
            }
            try {
                std::vector<PdfLine> lines = ReadPageLines(m_doc, index);
                std::lock_guard lock(m_mutex);
                m_ready.emplace(index, std::move(lines));
            } catch (...) {
                std::lock_guard lock(m_mutex);
                m_error = std::current_exception();
                m_changed.notify_all();
                return;
            }
            m_changed.notify_all();
        }
    }

    const poppler::document& m_doc;
    const int m_pageCount;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::vector<PdfLine>> m_ready;
    int m_taken = 0;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: starts once the members above exist
};

/// Loads a poppler document over `bytes`, which must outlive it.
std::unique_ptr<poppler::document> LoadDocument(const std::string& bytes)
{
    return std::unique_ptr<poppler::document>(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
}

/// Below this many pages a second reading thread costs more than it saves.
constexpr int kMinPagesForTwoThreads = 8;

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
    std::unique_ptr<poppler::document> doc = LoadDocument(source.bytes);
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

    // A second document for the odd pages, loaded here because poppler's
    // first-use set-up is not meant to run on two threads at once.
    std::unique_ptr<poppler::document> oddDoc;
    if (pageCount >= kMinPagesForTwoThreads && std::thread::hardware_concurrency() > 1)
        oddDoc = LoadDocument(source.bytes);
    std::unique_ptr<OddPageReader> oddPages;
    if (oddDoc && !oddDoc->is_locked() && oddDoc->pages() == pageCount)
        oddPages = std::make_unique<OddPageReader>(*oddDoc, pageCount);

    PdfBlockBuilder builder;
    bool anyText = false;
    for (int i = 0; i < pageCount; ++i) {
        std::vector<PdfLine> lines = (oddPages && i % 2 == 1) ? oddPages->Take(i) : ReadPageLines(*doc, i);
        anyText = anyText || !lines.empty();
        builder.AddPage(std::move(lines));
    }
    oddPages.reset();
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
