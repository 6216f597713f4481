#include "converter/pdf_reader.h"

#include "converter/conversion_error.h"
#include "converter/pdf_layout.h"
#include "converter/xml_text.h"

// poppler's own API rather than its C++ wrapper: the wrapper converts every
// word to UTF-16 through a new iconv converter and copies each character's
// box, which took 40% of a PDF's conversion; it also hides the fonts' bold
// and italic flags. Debian ships these headers as libpoppler-private-dev,
// built from the same poppler as the library.
#include <poppler/DateInfo.h>
#include <poppler/Error.h>
#include <poppler/ErrorCodes.h>
#include <poppler/GlobalParams.h>
#include <poppler/Outline.h>
#include <poppler/PDFDoc.h>
#include <poppler/Stream.h>
#include <poppler/TextOutputDev.h>
#include <poppler/UTF.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
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

/// UTF-8 of code points as poppler hands them over (UCS-4).
std::string Utf8(const Unicode* text, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i)
        AppendUtf8(out, text[i]);
    return out;
}

/// UTF-8 of a PDF text string (UTF-16 with a byte order mark, or PDFDocEncoding).
std::string TextStringUtf8(const GooString* text)
{
    if (!text)
        return {};
    Unicode* codes = nullptr;
    const int length = TextStringToUCS4(text->toStr(), &codes);
    std::string out = Utf8(codes, length);
    gfree(codes);
    return out;
}

void DiscardPopplerMessage(ErrorCategory, Goffset, const char*) {}

/// Sets up poppler's global settings once, before any document is opened on
/// any thread. poppler reports syntax errors of damaged files on standard
/// error; the converter's standard error carries its own one-line reason only.
void InitialisePoppler()
{
    static const bool initialised = [] {
        setErrorCallback(&DiscardPopplerMessage);
        globalParams = std::make_unique<GlobalParams>();
        return true;
    }();
    (void)initialised;
}

/// Whether a font's name says it is bold or italic ("Times-BoldItalic",
/// "ABCDEF+Inter-SemiBold"): writers seldom set the descriptor's bold flag,
/// and standard fonts have no descriptor at all.
bool NameSays(const GooString* name, std::initializer_list<std::string_view> words)
{
    if (!name)
        return false;
    std::string lower = name->toStr();
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return lower.find(word) != std::string::npos; });
}

/// Bold and italic of a page's fonts, judged once for each font since the
/// words of a run share one.
class FontStyles {
public:
    void Apply(const TextFontInfo& font, PdfWord& word)
    {
        if (&font != m_font) {
            m_font = &font;
            m_bold = font.isBold() || NameSays(font.getFontName(), {"bold", "black", "heavy", "demi"});
            m_italic = font.isItalic() || NameSays(font.getFontName(), {"italic", "oblique"});
        }
        word.bold = m_bold;
        word.italic = m_italic;
    }

private:
    const TextFontInfo* m_font = nullptr;
    bool m_bold = false;
    bool m_italic = false;
};

/// The words of page `index` (from 0) in reading order, as poppler's text
/// extraction orders them across columns; a page poppler cannot open has none.
std::vector<PdfWord> PageWords(PDFDoc& doc, int index)
{
    TextOutputDev output(nullptr, false, 0, false, false);
    if (!output.isOk())
        return {};
    doc.displayPageSlice(&output, index + 1, 72, 72, 0, false, false, false, -1, -1, -1, -1);
    const std::unique_ptr<TextWordList> list = output.makeWordList();
    FontStyles styles;
    std::vector<PdfWord> words;
    words.reserve(static_cast<size_t>(std::max(list->getLength(), 0)));
    for (int i = 0; i < list->getLength(); ++i) {
        const TextWord* box = list->get(i);
        PdfWord word;
        // TextWord::getText would look up the output encoding under a lock
        // shared by both reading threads, for every word.
        word.text.reserve(static_cast<size_t>(box->getLength()));
        for (int c = 0; c < box->getLength(); ++c)
            AppendUtf8(word.text, *box->getChar(c));
        box->getBBox(&word.left, &word.top, &word.right, &word.bottom);
        word.fontSize = box->getFontSize();
        if (const TextFontInfo* font = box->getLength() > 0 ? box->getFontInfo(0) : nullptr)
            styles.Apply(*font, word);
        word.spaceAfter = box->hasSpaceAfter();
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<PdfLine> ReadPageLines(PDFDoc& doc, int index)
{
    return GroupPdfLines(PageWords(doc, index));
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
    OddPageReader(PDFDoc& doc, int pageCount)
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

    PDFDoc& m_doc;
    const int m_pageCount;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, std::vector<PdfLine>> m_ready;
    int m_taken = 0;
    bool m_stop = false;
    std::exception_ptr m_error;
    std::thread m_thread; // last: starts once the members above exist
};

/// Opens a document over `bytes`, which must outlive it.
std::unique_ptr<PDFDoc> LoadDocument(const std::string& bytes)
{
    auto* stream = new MemStream(bytes.data(), 0, static_cast<Goffset>(bytes.size()), Object(objNull));
    return std::make_unique<PDFDoc>(stream); // owns the stream
}

/// Below this many pages a second reading thread costs more than it saves.
constexpr int kMinPagesForTwoThreads = 8;

void CollectOutline(const std::vector<OutlineItem*>* items, int level, std::vector<PdfOutlineEntry>& out)
{
    if (!items)
        return;
    for (OutlineItem* item : *items) {
        const std::string title = CollapseWhitespace(SanitizeUtf8(Utf8(item->getTitle(), item->getTitleLength())));
        if (!title.empty())
            out.push_back(PdfOutlineEntry{title, std::min(level, kMaxOutlineDepth)});
        if (level < 64 && item->hasKids()) {
            item->open();
            CollectOutline(item->getKids(), level + 1, out);
        }
    }
}

std::vector<PdfOutlineEntry> ReadOutline(PDFDoc& doc)
{
    std::vector<PdfOutlineEntry> outline;
    if (Outline* root = doc.getOutline())
        CollectOutline(root->getItems(), 1, outline);
    return outline;
}

Metadata ReadMetadata(PDFDoc& doc)
{
    Metadata metadata;
    metadata.title = CollapseWhitespace(SanitizeUtf8(TextStringUtf8(doc.getDocInfoTitle().get())));
    // Several authors are usually separated by semicolons; a comma may stand
    // inside one name ("Wren, Ada").
    const std::string authors = SanitizeUtf8(TextStringUtf8(doc.getDocInfoAuthor().get()));
    size_t start = 0;
    while (start <= authors.size()) {
        const size_t end = std::min(authors.find(';', start), authors.size());
        const std::string name = CollapseWhitespace(authors.substr(start, end - start));
        if (!name.empty())
            metadata.authors.push_back(name);
        start = end + 1;
    }
    metadata.description = CollapseWhitespace(SanitizeUtf8(TextStringUtf8(doc.getDocInfoSubject().get())));
    const std::unique_ptr<GooString> creation = doc.getDocInfoCreatDate();
    const std::time_t created = creation ? dateStringToTime(creation.get()) : -1;
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
    InitialisePoppler();
    if (source.bytes.size() > static_cast<size_t>(INT_MAX))
        throw ConversionError("the PDF is too large to read");
    // poppler rebuilds what it can of a file cut short and would report it
    // whole; a book missing its end marker is refused instead. A few writers
    // append some bytes after the marker; the last 8 KB allow for them.
    const std::string_view bytes = source.bytes;
    const std::string_view tail = bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 8192));
    if (tail.find("%%EOF") == std::string_view::npos)
        throw InputRejected("the PDF is cut short (its end-of-file marker is missing)");
    std::unique_ptr<PDFDoc> doc = LoadDocument(source.bytes);
    if (!doc->isOk()) {
        if (doc->getErrorCode() == errEncrypted)
            throw ConversionError("the PDF is encrypted and needs a password to open; remove the password first");
        throw InputRejected("not a readable PDF (damaged or cut short)");
    }
    const int pageCount = doc->getNumPages();
    if (pageCount <= 0)
        throw InputRejected("the PDF has no pages");
    if (pageCount > kMaxPdfPages)
        throw ConversionError("the PDF has too many pages (" + std::to_string(pageCount) + "; the limit is " +
                              std::to_string(kMaxPdfPages) + ")");

    // A second document for the odd pages: poppler's documents are not meant
    // to be used from two threads at once.
    std::unique_ptr<PDFDoc> oddDoc;
    if (pageCount >= kMinPagesForTwoThreads && std::thread::hardware_concurrency() > 1)
        oddDoc = LoadDocument(source.bytes);
    std::unique_ptr<OddPageReader> oddPages;
    if (oddDoc && oddDoc->isOk() && oddDoc->getNumPages() == pageCount)
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
