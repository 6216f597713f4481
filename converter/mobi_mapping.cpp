#include "converter/mobi_mapping.h"

#include "converter/chapter_starts.h"
#include "converter/conversion_error.h"
#include "converter/html_blocks.h"
#include "converter/xml_text.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace kelvra {

namespace {

/// Table of contents deeper than this is read as this deep.
constexpr int kMaxTocDepth = 6;

struct TocEntry {
    std::string title;
    int level = 1;
    std::string anchor; ///< as HtmlAnchorName gives it
};

bool IsElement(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* node, const char* name)
{
    for (const xmlNode* child = node->children; child; child = child->next)
        if (IsElement(child, name))
            return child;
    return nullptr;
}

std::string NodeText(const xmlNode* node)
{
    if (!node)
        return {};
    xmlChar* content = xmlNodeGetContent(node);
    if (!content)
        return {};
    std::string text = CollapseWhitespace(SanitizeUtf8(reinterpret_cast<const char*>(content)));
    xmlFree(content);
    return text;
}

class NcxReader {
public:
    explicit NcxReader(const std::vector<std::string>& partNames) : m_partNames(partNames) {}

    std::vector<TocEntry> Read(const std::string& ncx)
    {
        if (ncx.empty() || ncx.size() > INT_MAX)
            return {};
        std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
            xmlReadMemory(ncx.data(), static_cast<int>(ncx.size()), nullptr, "UTF-8",
                          XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_RECOVER),
            &xmlFreeDoc);
        const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        const xmlNode* navMap = root ? Child(root, "navMap") : nullptr;
        if (navMap)
            ReadPoints(navMap, 1);
        return std::move(m_entries);
    }

private:
    void ReadPoints(const xmlNode* parent, int level)
    {
        for (const xmlNode* point = parent->children; point; point = point->next) {
            if (!IsElement(point, "navPoint"))
                continue;
            const xmlNode* label = Child(point, "navLabel");
            const xmlNode* content = Child(point, "content");
            std::string anchor;
            if (content) {
                xmlChar* src = xmlGetProp(content, reinterpret_cast<const xmlChar*>("src"));
                if (src) {
                    anchor = Target(reinterpret_cast<const char*>(src));
                    xmlFree(src);
                }
            }
            const std::string title = NodeText(label ? Child(label, "text") : nullptr);
            if (!title.empty() && !anchor.empty())
                m_entries.push_back(TocEntry{title, std::min(level, kMaxTocDepth), anchor});
            if (level < 64)
                ReadPoints(point, level + 1);
        }
    }

    std::string Target(const std::string& src) const
    {
        const size_t hash = src.find('#');
        const std::string file = src.substr(0, hash);
        const std::string base = file.substr(file.find_last_of('/') + 1);
        const auto found = std::find(m_partNames.begin(), m_partNames.end(), base);
        if (found == m_partNames.end())
            return {};
        return HtmlAnchorName(static_cast<size_t>(found - m_partNames.begin()),
                              hash == std::string::npos ? std::string() : src.substr(hash + 1));
    }

    const std::vector<std::string>& m_partNames;
    std::vector<TocEntry> m_entries;
};

std::string ImageId(size_t uid)
{
    return "image" + std::to_string(uid);
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/// The resource number in "resource00012.jpg", "kindle:embed:000C" has been
/// resolved by libmobi already; a bare recindex of the older format counts
/// from 1.
long ResourceNumber(const std::string& reference)
{
    const std::string base = reference.substr(reference.find_last_of('/') + 1);
    if (base.rfind("resource", 0) == 0) {
        const std::string digits = base.substr(8, base.find('.') - 8);
        if (AllDigits(digits))
            return std::stol(digits);
        return -1;
    }
    if (AllDigits(base))
        return std::stol(base) - 1;
    return -1;
}

std::map<size_t, ChapterStart> TocStarts(const std::vector<TocEntry>& toc, const HtmlBlocks& html)
{
    std::map<size_t, ChapterStart> starts;
    for (const TocEntry& entry : toc) {
        const auto found = html.anchorBlock.find(entry.anchor);
        if (found == html.anchorBlock.end() || found->second >= html.blocks.size())
            continue;
        // The first entry that points at a block names the chapter there.
        starts.emplace(found->second, ChapterStart{entry.title, entry.level});
    }
    return starts;
}

/// The entries of a contents page in the text: the first run of at least
/// kMinContentsLines blocks that are each nothing but one internal link
/// with a word in it, pointing forwards past the run, in order. Older MOBI
/// books without an NCX index carry their table of contents so; lists of
/// note references, which point back or hold only numbers, do not count.
constexpr size_t kMinContentsLines = 3;

std::string SoleLinkTarget(const Block& block)
{
    if (block.kind != BlockKind::Paragraph)
        return {};
    std::string link;
    for (const InlineRun& run : block.runs) {
        if (CollapseWhitespace(run.text).empty() && run.imageId.empty())
            continue;
        if (run.link.size() < 2 || run.link[0] != '#' || (!link.empty() && run.link != link))
            return {};
        link = run.link;
    }
    const std::string text = RunsText(block.runs);
    const bool hasLetter = std::any_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
    });
    return hasLetter && !link.empty() ? link.substr(1) : std::string();
}

std::vector<TocEntry> ContentsPageEntries(const HtmlBlocks& html)
{
    const auto isContentsPage = [&](const std::vector<TocEntry>& entries, size_t end) {
        if (entries.size() < kMinContentsLines)
            return false;
        size_t previous = end;
        for (const TocEntry& entry : entries) {
            const auto found = html.anchorBlock.find(entry.anchor);
            if (found == html.anchorBlock.end())
                continue; // a dangling entry is dropped later
            if (found->second < previous)
                return false;
            previous = found->second;
        }
        return true;
    };
    std::vector<TocEntry> entries;
    for (size_t i = 0; i <= html.blocks.size(); ++i) {
        const std::string target = i < html.blocks.size() ? SoleLinkTarget(html.blocks[i]) : std::string();
        if (!target.empty()) {
            entries.push_back(TocEntry{CollapseWhitespace(RunsText(html.blocks[i].runs)), 1, target});
            continue;
        }
        if (isContentsPage(entries, i))
            return entries;
        entries.clear();
    }
    return {};
}

void CollectImageIds(const std::vector<Block>& blocks, std::set<std::string>& used)
{
    for (const Block& block : blocks) {
        if (!block.imageId.empty())
            used.insert(block.imageId);
        for (const InlineRun& run : block.runs)
            if (!run.imageId.empty())
                used.insert(run.imageId);
    }
}

} // namespace

Book MapMobiContent(const MobiContent& content, const std::string& fallbackTitle)
{
    std::set<size_t> imageUids;
    for (const MobiResource& image : content.images)
        imageUids.insert(image.uid);
    HtmlBlockCollector collector(content.partNames, [&](const std::string& reference) {
        const long uid = ResourceNumber(reference);
        return uid >= 0 && imageUids.count(static_cast<size_t>(uid)) ? ImageId(static_cast<size_t>(uid))
                                                                       : std::string();
    });
    collector.AddDocuments(content.parts);
    HtmlBlocks html = collector.Take();
    if (html.blocks.empty())
        throw InputRejected("the book holds no text");

    const std::vector<TocEntry> toc = NcxReader(content.partNames).Read(content.ncx);
    // The book's own table of contents: its NCX, else a contents page;
    // failing both, the headings.
    std::map<size_t, ChapterStart> starts = TocStarts(toc, html);
    if (starts.empty())
        starts = TocStarts(ContentsPageEntries(html), html);
    if (starts.empty())
        starts = HeadingChapterStarts(html.blocks);

    Book book;
    book.metadata = content.metadata;
    if (CollapseWhitespace(book.metadata.title).empty())
        book.metadata.title = fallbackTitle;
    book.chapters = SplitIntoChapters(std::move(html.blocks), starts, html.breaks);

    std::set<std::string> used;
    for (const Chapter& chapter : book.chapters)
        CollectImageIds(chapter.blocks, used);
    if (content.coverUid >= 0 && imageUids.count(static_cast<size_t>(content.coverUid))) {
        book.coverImageId = ImageId(static_cast<size_t>(content.coverUid));
        used.insert(book.coverImageId);
    }
    for (const MobiResource& image : content.images) {
        const std::string id = ImageId(image.uid);
        if (used.count(id) && std::none_of(book.images.begin(), book.images.end(),
                                           [&](const Image& known) { return known.id == id; }))
            book.images.push_back(Image{id, {}, image.bytes});
    }
    return book;
}

} // namespace kelvra
