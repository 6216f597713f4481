#include "converter/epub_package.h"

#include "converter/book_identity.h"
#include "converter/conversion_error.h"
#include "converter/xml_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string_view>

namespace kelvra {

namespace {

constexpr const char* kXhtmlFolder = "OEBPS/text/";
constexpr const char* kImageFolder = "OEBPS/images/";

struct ChapterFile {
    std::string name;  ///< file name inside the text folder
    std::string title; ///< table of contents text; empty: no entry
    int level = 1;
    std::string anchor;
    const Block* begin = nullptr;
    const Block* end = nullptr;
};

struct AnchorTarget {
    std::string file;
    std::string id;
};

struct ManifestImage {
    std::string manifestId;
    std::string fileName;
    std::string mediaType;
    const Image* image = nullptr;
};

struct TocEntry {
    std::string title;
    std::string href; ///< relative to the OEBPS folder
    int level = 1;
};

/// Everything the renderers need, worked out once for the whole book.
struct Layout {
    Metadata metadata;
    std::vector<ChapterFile> files;
    std::map<std::string, AnchorTarget> anchors;
    std::map<std::string, ManifestImage> images;
    std::string coverImageId;
    std::vector<TocEntry> toc;
};

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

// ---------------------------------------------------------------- XHTML

std::string XhtmlHead(const Layout& layout, const std::string& title, const std::string& cssHref)
{
    const std::string lang = EscapeXml(layout.metadata.language);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" lang=\"" +
           lang + "\" xml:lang=\"" + lang + "\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>" + EscapeXml(title) +
           "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"" + cssHref + "\"/>\n</head>\n";
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// Percent-encodes what may not stand in a URL's path, query or fragment as
/// it is, including a "%" that starts no escape.
std::string EncodeUrlTail(const std::string& tail)
{
    static const std::string kAllowed = "-._~:/?#@!$&'()*+,;=";
    std::string out;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = tail[i];
        const unsigned char u = static_cast<unsigned char>(c);
        const bool escape = c == '%' && i + 2 < tail.size() && IsHex(tail[i + 1]) && IsHex(tail[i + 2]);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            kAllowed.find(c) != std::string::npos || escape) {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        }
    }
    return out;
}

bool IsHostName(const std::string& host)
{
    if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-' || host.back() == '.' ||
        host.back() == '-')
        return false;
    for (const char c : host)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    return true;
}

/// The web address ready for an href, or empty when it is not a sound
/// http, https, ftp or mailto address (such links keep only their text).
std::string SafeWebAddress(const std::string& link)
{
    const std::string clean = SanitizeUtf8(link);
    const size_t colon = clean.find(':');
    if (colon == std::string::npos)
        return {};
    std::string scheme = clean.substr(0, colon);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string rest = clean.substr(colon + 1);
    if (scheme == "mailto") {
        const size_t at = rest.find('@');
        if (at == std::string::npos || at == 0)
            return {};
        for (const char c : rest.substr(0, at))
            if (!(std::isalnum(static_cast<unsigned char>(c)) || std::string_view("._%+-").find(c) != std::string_view::npos))
                return {};
        return IsHostName(rest.substr(at + 1)) ? "mailto:" + rest : std::string();
    }
    if ((scheme != "http" && scheme != "https" && scheme != "ftp") || rest.compare(0, 2, "//") != 0)
        return {};
    const size_t hostEnd = rest.find_first_of("/?#", 2);
    std::string authority = rest.substr(2, hostEnd == std::string::npos ? std::string::npos : hostEnd - 2);
    const size_t portStart = authority.find(':');
    if (portStart != std::string::npos) {
        const std::string port = authority.substr(portStart + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return {};
    }
    if (!IsHostName(authority.substr(0, portStart)))
        return {};
    return scheme + "://" + authority + (hostEnd == std::string::npos ? std::string() : EncodeUrlTail(rest.substr(hostEnd)));
}

class ChapterRenderer {
public:
    ChapterRenderer(const Layout& layout, std::set<std::string>& placedIds)
        : m_layout(layout), m_placedIds(placedIds)
    {
    }

    std::string Render(const ChapterFile& file)
    {
        std::string title = file.title;
        if (title.empty())
            title = m_layout.metadata.title;
        m_out = XhtmlHead(m_layout, title, "../style.css");
        m_out += "<body>\n<section class=\"chapter\"" + IdAttribute(file.anchor, file.name) + ">\n";
        for (const Block* block = file.begin; block != file.end; ++block)
            RenderBlock(*block, file.name);
        m_out += "</section>\n</body>\n</html>\n";
        return std::move(m_out);
    }

private:
    /// ` id="..."` the first time an anchor is placed in its own file.
    std::string IdAttribute(const std::string& anchor, const std::string& fileName)
    {
        if (anchor.empty())
            return {};
        const auto it = m_layout.anchors.find(anchor);
        if (it == m_layout.anchors.end() || it->second.file != fileName || !m_placedIds.insert(it->second.id).second)
            return {};
        return " id=\"" + it->second.id + "\"";
    }

    static const char* RoleClass(BlockRole role)
    {
        switch (role) {
        case BlockRole::Body: return nullptr;
        case BlockRole::Subtitle: return "subtitle";
        case BlockRole::Epigraph: return "epigraph";
        case BlockRole::Verse: return "verse";
        case BlockRole::Cite: return "cite";
        case BlockRole::TextAuthor: return "text-author";
        case BlockRole::Annotation: return "annotation";
        case BlockRole::Note: return "note";
        }
        return nullptr;
    }

    std::string ImageTag(const std::string& imageId, const std::string& altText)
    {
        const auto it = m_layout.images.find(imageId);
        if (it == m_layout.images.end())
            return {};
        std::string alt = CollapseWhitespace(SanitizeUtf8(altText));
        if (alt.empty())
            alt = "Illustration";
        return "<img src=\"../images/" + it->second.fileName + "\" alt=\"" + EscapeXml(alt) + "\"/>";
    }

    void RenderBlock(const Block& block, const std::string& fileName)
    {
        const std::string id = IdAttribute(block.anchor, fileName);
        const char* roleClass = RoleClass(block.role);
        const std::string classAttribute = roleClass ? std::string(" class=\"") + roleClass + "\"" : std::string();
        switch (block.kind) {
        case BlockKind::SceneBreak:
            m_out += "<hr class=\"scene-break\"" + id + "/>\n";
            return;
        case BlockKind::EmptyLine:
            m_out += "<p class=\"empty-line\"" + id + ">\u00a0</p>\n";
            return;
        case BlockKind::Image: {
            const std::string tag = ImageTag(block.imageId, RunsText(block.runs));
            if (!tag.empty())
                m_out += "<div class=\"image\"" + id + ">" + tag + "</div>\n";
            else if (!id.empty())
                m_out += "<div" + id + "></div>\n";
            return;
        }
        case BlockKind::Heading: {
            const std::string inner = RenderRuns(block.runs, fileName);
            const std::string tag = "h" + std::to_string(std::clamp(block.level, 1, 6));
            m_out += "<" + tag + classAttribute + id + ">" + inner + "</" + tag + ">\n";
            return;
        }
        case BlockKind::Paragraph: {
            const std::string inner = RenderRuns(block.runs, fileName);
            if (inner.empty() && id.empty())
                return;
            m_out += "<p" + classAttribute + id + ">" + inner + "</p>\n";
            return;
        }
        }
    }

    std::string ResolveLink(const std::string& link) const
    {
        if (link.size() > 1 && link[0] == '#') {
            const auto it = m_layout.anchors.find(link.substr(1));
            if (it == m_layout.anchors.end())
                return {};
            return it->second.file + "#" + it->second.id;
        }
        return SafeWebAddress(link);
    }

    std::string RenderRuns(const std::vector<InlineRun>& runs, const std::string& fileName)
    {
        static const std::pair<std::uint32_t, const char*> kTags[] = {
            {StyleBold, "strong"}, {StyleItalic, "em"}, {StyleUnderline, "u"}, {StyleStrike, "s"},
            {StyleSuperscript, "sup"}, {StyleSubscript, "sub"}, {StyleCode, "code"}};
        std::string out;
        for (const InlineRun& run : runs) {
            const std::string id = IdAttribute(run.anchor, fileName);
            if (!id.empty())
                out += "<span" + id + "></span>";
            std::string content;
            if (!run.imageId.empty())
                content = ImageTag(run.imageId, run.text);
            else if (run.text == "\n")
                content = "<br/>";
            else
                content = EscapeXml(run.text);
            if (content.empty())
                continue;
            std::string open;
            std::string close;
            const std::string href = run.link.empty() ? std::string() : ResolveLink(run.link);
            if (!href.empty()) {
                open += "<a href=\"" + EscapeXml(href) + "\">";
                close = "</a>";
            }
            for (const auto& [style, tag] : kTags) {
                if (run.styles & style) {
                    open += std::string("<") + tag + ">";
                    close = std::string("</") + tag + ">" + close;
                }
            }
            out += open + content + close;
        }
        return out;
    }

    const Layout& m_layout;
    std::set<std::string>& m_placedIds;
    std::string m_out;
};

// ---------------------------------------------------------------- package files

std::string ContainerXml()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
           "<rootfiles>\n<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>\n"
           "</rootfiles>\n</container>\n";
}

std::string StyleSheet()
{
    return "body { margin: 0 5%; line-height: 1.4; }\n"
           "h1, h2, h3, h4, h5, h6 { text-align: center; margin: 1.5em 0 1em; }\n"
           "p { margin: 0; text-indent: 1.5em; text-align: justify; }\n"
           "p.subtitle { text-align: center; font-weight: bold; text-indent: 0; margin: 1em 0; }\n"
           "p.epigraph, p.cite { margin-left: 2em; font-style: italic; text-indent: 0; }\n"
           "p.verse { margin-left: 2em; text-indent: 0; text-align: left; }\n"
           "p.text-author { text-align: right; font-style: italic; }\n"
           "p.annotation, p.note { text-indent: 0; font-size: 0.9em; }\n"
           "p.empty-line { text-indent: 0; }\n"
           "hr.scene-break { border: none; margin: 1em 0; text-align: center; }\n"
           "hr.scene-break::after { content: \"* * *\"; }\n"
           "div.image, div.cover { text-align: center; margin: 1em 0; }\n"
           "div.image img { max-width: 100%; }\n"
           "div.cover img { max-width: 100%; max-height: 100%; }\n";
}

std::string NavDocument(const Layout& layout)
{
    std::string out = XhtmlHead(layout, layout.metadata.title, "style.css");
    out += "<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>Contents</h1>\n";
    int depth = 0;
    for (const TocEntry& entry : layout.toc) {
        if (entry.level > depth) {
            for (; depth < entry.level; ++depth)
                out += "\n<ol>\n";
        } else {
            out += "</li>\n";
            for (; depth > entry.level; --depth)
                out += "</ol>\n</li>\n";
        }
        out += "<li><a href=\"" + EscapeXml(entry.href) + "\">" + EscapeXml(entry.title) + "</a>";
    }
    out += "</li>\n";
    for (; depth > 1; --depth)
        out += "</ol>\n</li>\n";
    out += "</ol>\n</nav>\n</body>\n</html>\n";
    return out;
}

std::string NcxDocument(const Layout& layout)
{
    int maxDepth = 1;
    for (const TocEntry& entry : layout.toc)
        maxDepth = std::max(maxDepth, entry.level);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" xml:lang=\"" +
                      EscapeXml(layout.metadata.language) + "\">\n<head>\n<meta name=\"dtb:uid\" content=\"" +
                      EscapeXml(layout.metadata.identifier) + "\"/>\n<meta name=\"dtb:depth\" content=\"" +
                      std::to_string(maxDepth) +
                      "\"/>\n<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n"
                      "<meta name=\"dtb:maxPageNumber\" content=\"0\"/>\n</head>\n<docTitle><text>" +
                      EscapeXml(layout.metadata.title) + "</text></docTitle>\n<navMap>\n";
    int depth = 0;
    int order = 0;
    for (const TocEntry& entry : layout.toc) {
        for (; depth >= entry.level; --depth)
            out += "</navPoint>\n";
        ++order;
        out += "<navPoint id=\"nav-" + std::to_string(order) + "\" playOrder=\"" + std::to_string(order) +
               "\">\n<navLabel><text>" + EscapeXml(entry.title) + "</text></navLabel>\n<content src=\"" +
               EscapeXml(entry.href) + "\"/>\n";
        depth = entry.level;
    }
    for (; depth > 0; --depth)
        out += "</navPoint>\n";
    out += "</navMap>\n</ncx>\n";
    return out;
}

std::string CoverPage(const Layout& layout)
{
    const ManifestImage& cover = layout.images.at(layout.coverImageId);
    std::string out = XhtmlHead(layout, layout.metadata.title, "../style.css");
    out += "<body>\n<div class=\"cover\"><img src=\"../images/" + cover.fileName + "\" alt=\"" +
           EscapeXml("Cover: " + layout.metadata.title) + "\"/></div>\n</body>\n</html>\n";
    return out;
}

std::string PackageDocument(const Layout& layout, const std::string& modifiedUtc)
{
    const Metadata& m = layout.metadata;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"book-id\" xml:lang=\"" +
                      EscapeXml(m.language) + "\">\n<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n";
    out += "<dc:identifier id=\"book-id\">" + EscapeXml(m.identifier) + "</dc:identifier>\n";
    out += "<dc:title>" + EscapeXml(m.title) + "</dc:title>\n";
    out += "<dc:language>" + EscapeXml(m.language) + "</dc:language>\n";
    for (size_t i = 0; i < m.authors.size(); ++i) {
        const std::string id = "creator-" + std::to_string(i + 1);
        out += "<dc:creator id=\"" + id + "\">" + EscapeXml(m.authors[i]) + "</dc:creator>\n";
        out += "<meta refines=\"#" + id + "\" property=\"role\" scheme=\"marc:relators\">aut</meta>\n";
    }
    if (!m.description.empty())
        out += "<dc:description>" + EscapeXml(m.description) + "</dc:description>\n";
    if (!m.publisher.empty())
        out += "<dc:publisher>" + EscapeXml(m.publisher) + "</dc:publisher>\n";
    if (!m.date.empty())
        out += "<dc:date>" + EscapeXml(m.date) + "</dc:date>\n";
    out += "<meta property=\"dcterms:modified\">" + EscapeXml(modifiedUtc) + "</meta>\n";
    if (!layout.coverImageId.empty())
        out += "<meta name=\"cover\" content=\"" + layout.images.at(layout.coverImageId).manifestId + "\"/>\n";
    out += "</metadata>\n<manifest>\n"
           "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
           "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
           "<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n";
    if (!layout.coverImageId.empty())
        out += "<item id=\"cover-page\" href=\"text/cover.xhtml\" media-type=\"application/xhtml+xml\"/>\n";
    for (size_t i = 0; i < layout.files.size(); ++i)
        out += "<item id=\"chapter-" + std::to_string(i + 1) + "\" href=\"text/" + layout.files[i].name +
               "\" media-type=\"application/xhtml+xml\"/>\n";
    for (const auto& [id, image] : layout.images) {
        const bool isCover = id == layout.coverImageId;
        out += "<item id=\"" + image.manifestId + "\" href=\"images/" + image.fileName + "\" media-type=\"" +
               image.mediaType + "\"" + (isCover ? " properties=\"cover-image\"" : "") + "/>\n";
    }
    out += "</manifest>\n<spine toc=\"ncx\">\n";
    if (!layout.coverImageId.empty())
        out += "<itemref idref=\"cover-page\"/>\n";
    for (size_t i = 0; i < layout.files.size(); ++i)
        out += "<itemref idref=\"chapter-" + std::to_string(i + 1) + "\"/>\n";
    out += "</spine>\n</package>\n";
    return out;
}

} // namespace

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

std::string CurrentUtcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#if defined(_MSC_VER)
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::vector<PackageEntry> BuildEpubPackage(const Book& book, const std::string& modifiedUtc)
{
    const Layout layout = MakeLayout(book);
    std::vector<PackageEntry> entries;
    entries.push_back({"mimetype", "application/epub+zip", false});
    entries.push_back({"META-INF/container.xml", ContainerXml(), true});
    entries.push_back({"OEBPS/content.opf", PackageDocument(layout, modifiedUtc), true});
    entries.push_back({"OEBPS/nav.xhtml", NavDocument(layout), true});
    entries.push_back({"OEBPS/toc.ncx", NcxDocument(layout), true});
    entries.push_back({"OEBPS/style.css", StyleSheet(), true});
    if (!layout.coverImageId.empty())
        entries.push_back({std::string(kXhtmlFolder) + "cover.xhtml", CoverPage(layout), true});
    std::set<std::string> placedIds;
    for (const ChapterFile& file : layout.files)
        entries.push_back({std::string(kXhtmlFolder) + file.name, ChapterRenderer(layout, placedIds).Render(file), true});
    for (const auto& [id, image] : layout.images) {
        // Compressed images barely shrink; storing them saves time.
        entries.push_back({std::string(kImageFolder) + image.fileName, image.image->data, false});
    }
    return entries;
}

} // namespace kelvra
