#include "converter/epub_layout.h"

#include "converter/book_identity.h"
#include "converter/conversion_error.h"
#include "converter/epub_package.h"
#include "converter/xml_text.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace kelvra {

namespace {

size_t BlockBytes(const Block& block)
{
    size_t bytes = 16;
    for (const InlineRun& run : block.runs)
        bytes += run.text.size() + run.link.size() + 8;
    return bytes;
}

std::string ChapterFileName(size_t number)
{
    char name[48];
    std::snprintf(name, sizeof name, "chapter-%04zu.xhtml", number);
    return name;
}

bool IsValidDate(const std::string& date)
{
    const auto digits = [&](size_t from, size_t count) {
        for (size_t i = from; i < from + count; ++i)
            if (i >= date.size() || date[i] < '0' || date[i] > '9')
                return false;
        return true;
    };
    if (date.size() == 4)
        return digits(0, 4);
    if (date.size() == 7)
        return digits(0, 4) && date[4] == '-' && digits(5, 2);
    if (date.size() == 10)
        return digits(0, 4) && date[4] == '-' && digits(5, 2) && date[7] == '-' && digits(8, 2);
    return false;
}

std::string BookText(const Book& book, size_t limit)
{
    std::string text;
    for (const Chapter& chapter : book.chapters) {
        for (const Block& block : chapter.blocks) {
            text += RunsText(block.runs);
            text += '\n';
            if (text.size() >= limit)
                return text;
        }
    }
    return text;
}

/// An XML id made of the reader's anchor: safe characters kept, others
/// replaced, a letter in front, and unique within the book.
std::string MakeId(const std::string& anchor, std::set<std::string>& used)
{
    std::string id = "a-";
    for (const char c : anchor.substr(0, 64)) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        id += safe ? c : '_';
    }
    std::string unique = id;
    for (int n = 2; used.count(unique) != 0; ++n)
        unique = id + "-" + std::to_string(n);
    used.insert(unique);
    return unique;
}

void NormaliseMetadata(const Book& book, Metadata& metadata)
{
    metadata.title = CollapseWhitespace(SanitizeUtf8(metadata.title));
    if (metadata.title.empty())
        metadata.title = "Untitled";
    if (!IsLanguageTag(metadata.language))
        metadata.language = GuessLanguage(SanitizeUtf8(BookText(book, 256 * 1024)));
    if (CollapseWhitespace(metadata.identifier).empty())
        metadata.identifier = StableIdentifier(book);
    if (!IsValidDate(metadata.date))
        metadata.date.clear();
    std::vector<std::string> authors;
    for (const std::string& author : metadata.authors) {
        std::string clean = CollapseWhitespace(SanitizeUtf8(author));
        if (!clean.empty() && std::find(authors.begin(), authors.end(), clean) == authors.end())
            authors.push_back(std::move(clean));
    }
    metadata.authors = std::move(authors);
    metadata.description = CollapseWhitespace(SanitizeUtf8(metadata.description));
    metadata.publisher = CollapseWhitespace(SanitizeUtf8(metadata.publisher));
}

void SplitIntoFiles(const Book& book, Layout& layout)
{
    for (const Chapter& chapter : book.chapters) {
        if (chapter.blocks.empty() && CollapseWhitespace(chapter.title).empty())
            continue;
        ChapterFile file;
        file.title = CollapseWhitespace(SanitizeUtf8(chapter.title));
        file.level = std::max(1, chapter.level);
        file.anchor = chapter.anchor;
        file.begin = chapter.blocks.data();
        file.end = file.begin;
        size_t bytes = 0;
        for (const Block& block : chapter.blocks) {
            if (bytes > 0 && bytes + BlockBytes(block) > kChapterSplitBytes) {
                file.end = &block;
                layout.files.push_back(file);
                file = ChapterFile{};
                file.begin = &block;
                bytes = 0;
            }
            bytes += BlockBytes(block);
            file.end = &block + 1;
        }
        layout.files.push_back(file);
    }
    if (layout.files.empty())
        throw ConversionError("the book has no content");
    for (size_t i = 0; i < layout.files.size(); ++i)
        layout.files[i].name = ChapterFileName(i + 1);
}

void CollectAnchors(Layout& layout)
{
    std::set<std::string> used;
    const auto add = [&](const std::string& anchor, const std::string& file) {
        if (!anchor.empty() && layout.anchors.count(anchor) == 0)
            layout.anchors[anchor] = AnchorTarget{file, MakeId(anchor, used)};
    };
    for (const ChapterFile& file : layout.files) {
        add(file.anchor, file.name);
        for (const Block* block = file.begin; block != file.end; ++block) {
            add(block->anchor, file.name);
            for (const InlineRun& run : block->runs)
                add(run.anchor, file.name);
        }
    }
}

void CollectImages(const Book& book, Layout& layout)
{
    std::map<std::string, const Image*> byId;
    for (const Image& image : book.images)
        byId.emplace(image.id, &image);
    const auto add = [&](const std::string& id) {
        if (id.empty() || layout.images.count(id) != 0)
            return;
        const auto it = byId.find(id);
        if (it == byId.end())
            return;
        const std::string mediaType = SniffImageMediaType(it->second->data);
        if (mediaType.empty())
            return;
        static const std::map<std::string, std::string> kExtensions = {
            {"image/png", ".png"}, {"image/jpeg", ".jpg"}, {"image/gif", ".gif"}};
        const size_t number = layout.images.size() + 1;
        ManifestImage entry;
        entry.manifestId = "img-" + std::to_string(number);
        entry.fileName = "image-" + std::to_string(number) + kExtensions.at(mediaType);
        entry.mediaType = mediaType;
        entry.image = it->second;
        layout.images.emplace(id, entry);
    };
    add(book.coverImageId);
    if (layout.images.count(book.coverImageId) != 0)
        layout.coverImageId = book.coverImageId;
    for (const ChapterFile& file : layout.files) {
        for (const Block* block = file.begin; block != file.end; ++block) {
            add(block->imageId);
            for (const InlineRun& run : block->runs)
                add(run.imageId);
        }
    }
}

void BuildToc(Layout& layout)
{
    int previous = 0;
    for (const ChapterFile& file : layout.files) {
        if (file.title.empty())
            continue;
        // Depth may rise by one step at a time only, or the nesting breaks.
        const int level = std::min(file.level, previous + 1);
        layout.toc.push_back(TocEntry{file.title, std::string("text/") + file.name, level});
        previous = level;
    }
    if (layout.toc.empty())
        layout.toc.push_back(TocEntry{layout.metadata.title, std::string("text/") + layout.files.front().name, 1});
}

} // namespace

Layout MakeLayout(const Book& book)
{
    Layout layout;
    layout.metadata = book.metadata;
    NormaliseMetadata(book, layout.metadata);
    SplitIntoFiles(book, layout);
    CollectAnchors(layout);
    CollectImages(book, layout);
    BuildToc(layout);
    return layout;
}

std::string SniffImageMediaType(const std::string& data)
{
    const auto startsWith = [&](std::string_view magic) { return data.compare(0, magic.size(), magic) == 0; };
    if (startsWith("\x89PNG\r\n\x1a\n"))
        return "image/png";
    if (startsWith("\xFF\xD8\xFF"))
        return "image/jpeg";
    if (startsWith("GIF87a") || startsWith("GIF89a"))
        return "image/gif";
    return {};
}

} // namespace kelvra
