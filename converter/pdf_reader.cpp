#include "converter/pdf_reader.h"

#include "converter/conversion_error.h"
#include "converter/pdf_layout.h"
#include "converter/pdf_page_reader.h"
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
#include <poppler/UTF.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <map>
#include <memory>
#include <string_view>
#include <thread>

namespace kelvra {

namespace {

/// Outline levels below this are read as this deep.
constexpr int kMaxOutlineDepth = 6;

/// UTF-8 of a PDF text string (UTF-16 with a byte order mark, or PDFDocEncoding).
std::string TextStringUtf8(const GooString* text)
{
    if (!text)
        return {};
    Unicode* codes = nullptr;
    const int length = TextStringToUCS4(text->toStr(), &codes);
    std::string out = PopplerTextUtf8(codes, length);
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
        const std::string title = CollapseWhitespace(SanitizeUtf8(PopplerTextUtf8(item->getTitle(), item->getTitleLength())));
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

    // A second document for a helper thread: poppler's documents are not
    // meant to be used from two threads at once.
    std::unique_ptr<PDFDoc> helperDoc;
    if (pageCount >= kMinPagesForTwoThreads && std::thread::hardware_concurrency() > 1) {
        helperDoc = LoadDocument(source.bytes);
        if (!helperDoc->isOk() || helperDoc->getNumPages() != pageCount)
            helperDoc.reset();
    }

    PdfBlockBuilder builder;
    bool anyText = false;
    {
        PdfPageReader pages(*doc, std::move(helperDoc), pageCount);
        for (int i = 0; i < pageCount; ++i) {
            std::vector<PdfLine> lines = pages.Take(i);
            anyText = anyText || !lines.empty();
            builder.AddPage(std::move(lines));
        }
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
