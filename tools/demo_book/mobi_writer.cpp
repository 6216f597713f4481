#include "tools/demo_book/mobi_writer.h"

#include "converter/epub_package.h"
#include "converter/xml_text.h"
#include "tools/demo_book/mobi_index.h"
#include "tools/demo_book/mobi_markup.h"
#include "tools/demo_book/mobi_records.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace kelvra {

using namespace mobi;

namespace {

/// The images that go into the file, numbered from 1, and the cover's
/// place among them (-1: none).
struct ImageRecords {
    std::vector<const Image*> images;
    std::map<std::string, size_t> numbers;
    long coverIndex = -1;
};

ImageRecords UsableImages(const Book& book)
{
    ImageRecords out;
    for (const Image& image : book.images) {
        if (SniffImageMediaType(image.data).empty() || out.numbers.count(image.id) != 0)
            continue;
        out.images.push_back(&image);
        out.numbers.emplace(image.id, out.images.size());
        if (image.id == book.coverImageId)
            out.coverIndex = static_cast<long>(out.images.size() - 1);
    }
    return out;
}

/// The skeleton of one KF8 file: everything but its body's content, which
/// the fragment holds.
struct Skeleton {
    std::string text;
    size_t insertAt; ///< where in `text` the fragment goes
};

Skeleton ChapterSkeleton(const Book& book, const Chapter& chapter)
{
    const std::string title = chapter.title.empty() ? book.metadata.title : chapter.title;
    Skeleton skeleton;
    skeleton.text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
                    "<title>" + EscapeXml(title) + "</title></head><body aid=\"0\">";
    skeleton.insertAt = skeleton.text.size();
    skeleton.text += "</body></html>";
    return skeleton;
}

/// Where each chapter's markup lies in the text: its start and length.
struct ChapterSpan {
    size_t start;
    size_t length;
};

/// The entries of the NCX index: one per chapter with a title, pointing at
/// the chapter's start by byte position and, in KF8, by fragment.
std::vector<IndexEntry> NcxEntries(const Book& book, const std::vector<ChapterSpan>& spans, bool kf8,
                                   CncxStrings& strings)
{
    struct Item {
        size_t chapter;
        int depth;
    };
    std::vector<Item> items;
    for (size_t i = 0; i < book.chapters.size(); ++i)
        if (!CollapseWhitespace(book.chapters[i].title).empty())
            items.push_back(Item{i, std::max(book.chapters[i].level, 1) - 1});
    // Depths step down one at a time, so every entry below the top has a parent.
    for (size_t i = 0; i < items.size(); ++i)
        items[i].depth = std::min(items[i].depth, i == 0 ? 0 : items[i - 1].depth + 1);

    std::vector<long> parent(items.size(), -1);
    for (size_t i = 0; i < items.size(); ++i)
        for (size_t j = i; j-- > 0;)
            if (items[j].depth < items[i].depth) {
                parent[i] = static_cast<long>(j);
                break;
            }
    std::vector<IndexEntry> entries;
    for (size_t i = 0; i < items.size(); ++i) {
        const size_t chapter = items[i].chapter;
        char label[16];
        std::snprintf(label, sizeof label, "%zX", i);
        IndexEntry entry;
        entry.label = label;
        entry.values = {
            {1, {static_cast<std::uint32_t>(spans[chapter].start)}},
            {2, {static_cast<std::uint32_t>(spans[chapter].length)}},
            {3, {strings.Add(CollapseWhitespace(book.chapters[chapter].title))}},
            {4, {static_cast<std::uint32_t>(items[i].depth)}},
        };
        if (kf8)
            entry.values.push_back({6, {static_cast<std::uint32_t>(chapter), 0}});
        if (parent[i] >= 0)
            entry.values.push_back({21, {static_cast<std::uint32_t>(parent[i])}});
        std::vector<std::uint32_t> children;
        for (size_t k = i + 1; k < items.size(); ++k)
            if (parent[k] == static_cast<long>(i))
                children.push_back(static_cast<std::uint32_t>(k));
        if (!children.empty()) {
            entry.values.push_back({22, {children.front()}});
            entry.values.push_back({23, {children.back()}});
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

const std::vector<IndexTag> kNcxTags = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 2}, {21, 1}, {22, 1}, {23, 1}};

/// The records of a file under construction; record 0 comes last, when
/// every other record's number is known.
class RecordList {
public:
    /// Appends `more` and returns the number of the first of them.
    std::uint32_t Append(std::vector<std::string> more)
    {
        const std::uint32_t first = static_cast<std::uint32_t>(m_records.size());
        for (std::string& record : more)
            m_records.push_back(std::move(record));
        return first;
    }

    /// Appends the text records, which follow record 0; the layout of
    /// record 0 begins with their numbers.
    RecordZeroLayout AppendText(const std::string& text, int fileVersion)
    {
        RecordZeroLayout layout;
        layout.fileVersion = fileVersion;
        layout.textLength = text.size();
        std::vector<std::string> records = TextRecords(text);
        layout.textRecords = records.size();
        Append(std::move(records));
        return layout;
    }

    /// Appends the image records and notes in `layout` where they begin and end.
    void AppendImages(const ImageRecords& images, RecordZeroLayout& layout)
    {
        if (!images.images.empty())
            layout.firstImage = static_cast<std::uint32_t>(m_records.size());
        for (const Image* image : images.images)
            m_records.push_back(image->data);
        layout.lastContent = static_cast<std::uint32_t>(m_records.size() - 1);
    }

    std::string Finish(const Book& book, const ImageRecords& images, const RecordZeroLayout& layout)
    {
        m_records.push_back(EndOfFileRecord());
        m_records[0] = RecordZero(book.metadata, images.coverIndex, layout);
        return PalmDatabase(book.metadata.title.empty() ? "book" : book.metadata.title, m_records);
    }

private:
    std::vector<std::string> m_records = std::vector<std::string>(1);
};

std::string FdstRecord(size_t textLength)
{
    std::string out = "FDST";
    PutU32(out, 12);
    PutU32(out, 1);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(textLength));
    return out;
}

} // namespace

std::string WriteMobiBook(const Book& book, const MobiWriteOptions& options)
{
    const ImageRecords images = UsableImages(book);
    const std::string lead = "<html><head><title>" + EscapeXml(book.metadata.title) + "</title></head><body>";
    const Markup markup = BookMarkup(book, images.numbers, Dialect::Mobi6, lead);
    const std::string html = markup.text + "</body></html>";
    std::vector<ChapterSpan> spans;
    for (size_t i = 0; i < markup.chapterStarts.size(); ++i) {
        const size_t end = i + 1 < markup.chapterStarts.size() ? markup.chapterStarts[i + 1] : markup.text.size();
        spans.push_back(ChapterSpan{markup.chapterStarts[i], end - markup.chapterStarts[i]});
    }

    RecordList records;
    RecordZeroLayout layout = records.AppendText(html, 6);
    CncxStrings titles;
    const std::vector<IndexEntry> ncx = NcxEntries(book, spans, false, titles);
    if (!ncx.empty())
        layout.ncxIndex = records.Append(IndexRecords(kNcxTags, ncx, titles));
    records.AppendImages(images, layout);
    layout.markEncrypted = options.markEncrypted;
    return records.Finish(book, images, layout);
}

std::string WriteAzw3Book(const Book& book, const MobiWriteOptions& options)
{
    const ImageRecords images = UsableImages(book);
    const Markup markup = BookMarkup(book, images.numbers, Dialect::Kf8);

    // The text holds each chapter's skeleton followed by its one fragment.
    std::string text;
    std::vector<IndexEntry> skeletons;
    std::vector<IndexEntry> fragments;
    std::vector<ChapterSpan> spans;
    CncxStrings selectors;
    const std::uint32_t bodySelector = selectors.Add("P-//*[@aid='0']");
    for (size_t i = 0; i < book.chapters.size(); ++i) {
        const size_t begin = markup.chapterStarts[i];
        const size_t end = i + 1 < book.chapters.size() ? markup.chapterStarts[i + 1] : markup.text.size();
        const std::string fragment = markup.text.substr(begin, end - begin);
        const Skeleton skeleton = ChapterSkeleton(book, book.chapters[i]);
        const size_t skeletonAt = text.size();
        text += skeleton.text;
        text += fragment;

        char label[32];
        std::snprintf(label, sizeof label, "SKEL%010zu", i);
        skeletons.push_back(IndexEntry{label, {{1, {1}},
                                               {6, {static_cast<std::uint32_t>(skeletonAt),
                                                    static_cast<std::uint32_t>(skeleton.text.size())}}}});
        const size_t insertAt = skeletonAt + skeleton.insertAt;
        std::snprintf(label, sizeof label, "%010zu", insertAt);
        fragments.push_back(IndexEntry{label, {{2, {bodySelector}},
                                               {3, {static_cast<std::uint32_t>(i)}},
                                               {4, {static_cast<std::uint32_t>(i)}},
                                               {6, {0, static_cast<std::uint32_t>(fragment.size())}}}});
        spans.push_back(ChapterSpan{insertAt, fragment.size()});
    }

    RecordList records;
    RecordZeroLayout layout = records.AppendText(text, 8);
    layout.fragmentIndex = records.Append(IndexRecords({{2, 1}, {3, 1}, {4, 1}, {6, 2}}, fragments, selectors));
    layout.skeletonIndex = records.Append(IndexRecords({{1, 1}, {6, 2}}, skeletons, CncxStrings()));
    CncxStrings titles;
    const std::vector<IndexEntry> ncx = NcxEntries(book, spans, true, titles);
    if (!ncx.empty())
        layout.ncxIndex = records.Append(IndexRecords(kNcxTags, ncx, titles));
    records.AppendImages(images, layout);
    layout.fdstIndex = records.Append({FdstRecord(text.size())});
    layout.markEncrypted = options.markEncrypted;
    return records.Finish(book, images, layout);
}

std::string WritePalmDocText(const std::string& name, const std::string& text)
{
    std::vector<std::string> records = TextRecords(text);
    records.insert(records.begin(), PalmDocHeader(text.size(), records.size(), false));
    return PalmDatabase(name, records, "TEXtREAd");
}

} // namespace kelvra
