#include "converter/xhtml_chapter.h"

#include "converter/web_address.h"
#include "converter/xml_text.h"

#include <algorithm>

namespace kelvra {

std::string XhtmlHead(const Layout& layout, const std::string& title, const std::string& cssHref)
{
    const std::string lang = EscapeXml(layout.metadata.language);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\" lang=\"" +
           lang + "\" xml:lang=\"" + lang + "\">\n<head>\n<meta charset=\"UTF-8\"/>\n<title>" + EscapeXml(title) +
           "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"" + cssHref + "\"/>\n</head>\n";
}

namespace {

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
            out += open;
            out += content;
            out += close;
        }
        return out;
    }

    const Layout& m_layout;
    std::set<std::string>& m_placedIds;
    std::string m_out;
};

} // namespace

std::string RenderChapterFile(const Layout& layout, const ChapterFile& file, std::set<std::string>& placedIds)
{
    return ChapterRenderer(layout, placedIds).Render(file);
}

} // namespace kelvra
