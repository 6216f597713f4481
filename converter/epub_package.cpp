#include "converter/epub_package.h"

#include "converter/epub_layout.h"
#include "converter/parallel_for.h"
#include "converter/xhtml_chapter.h"
#include "converter/xml_text.h"

#include <algorithm>
#include <ctime>
#include <set>

namespace kelvra {

namespace {

/// The bytes of running text in the chapter files, which their rendering
/// takes time by.
size_t TextBytes(const Layout& layout)
{
    size_t bytes = 0;
    for (const ChapterFile& file : layout.files)
        for (const Block* block = file.begin; block != file.end; ++block)
            for (const InlineRun& run : block->runs)
                bytes += run.text.size();
    return bytes;
}

constexpr const char* kXhtmlFolder = "OEBPS/text/";
constexpr const char* kImageFolder = "OEBPS/images/";

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

std::string CurrentUtcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    // The converter has one thread, so gmtime's shared result is safe here.
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
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
    // An anchor's id is placed only in the file the layout gave it, so files
    // share no ids and are rendered apart, large books on several threads.
    std::vector<std::string> chapters(layout.files.size());
    ParallelFor(layout.files.size(), ThreadsForBytes(TextBytes(layout)), [&](size_t i) {
        std::set<std::string> placedIds;
        chapters[i] = RenderChapterFile(layout, layout.files[i], placedIds);
    });
    for (size_t i = 0; i < layout.files.size(); ++i)
        entries.push_back({std::string(kXhtmlFolder) + layout.files[i].name, std::move(chapters[i]), true});
    for (const auto& [id, image] : layout.images) {
        // Compressed images barely shrink; storing them saves time.
        entries.push_back({std::string(kImageFolder) + image.fileName, image.image->data, false});
    }
    return entries;
}

} // namespace kelvra
