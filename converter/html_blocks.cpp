#include "converter/html_blocks.h"

#include "converter/parallel_for.h"
#include "converter/xml_text.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <memory>

namespace kelvra {

namespace {

/// Below this depth the walk goes on without recursion, keeping only text.
constexpr int kMaxDepth = 200;

struct StyleTag {
    const char* name;
    std::uint32_t style;
};

constexpr StyleTag kStyleTags[] = {
    {"b", StyleBold},          {"strong", StyleBold},     {"i", StyleItalic},     {"em", StyleItalic},
    {"cite", StyleItalic},     {"dfn", StyleItalic},      {"var", StyleItalic},   {"u", StyleUnderline},
    {"ins", StyleUnderline},   {"s", StyleStrike},        {"strike", StyleStrike}, {"del", StyleStrike},
    {"sup", StyleSuperscript}, {"sub", StyleSubscript},   {"code", StyleCode},    {"tt", StyleCode},
    {"kbd", StyleCode},        {"samp", StyleCode},
};

constexpr const char* kBlockTags[] = {
    "p",     "div",   "section", "article", "body",   "blockquote", "li",     "dd",  "dt",  "td",   "th",
    "tr",    "center", "pre",    "address", "figure", "figcaption", "ul",     "ol",  "dl",  "table", "header",
    "footer", "aside", "nav",    "caption", "main",   "html",       "tbody",  "thead", "tfoot",
};

constexpr const char* kSkippedTags[] = {"head", "script", "style", "title", "svg", "math", "object", "noscript"};

bool NameIs(const xmlNode* node, const char* name)
{
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

template <size_t N>
bool NameIn(const xmlNode* node, const char* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&](const char* name) { return NameIs(node, name); });
}

std::string Attribute(const xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    std::string out(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

int HeadingLevel(const xmlNode* node)
{
    const char* name = reinterpret_cast<const char*>(node->name);
    if (name && (name[0] == 'h' || name[0] == 'H') && name[1] >= '1' && name[1] <= '6' && name[2] == '\0')
        return name[1] - '0';
    return 0;
}

bool IsPageBreak(const xmlNode* node)
{
    // The HTML parser keeps a prefixed name such as "mbp:pagebreak" whole.
    const char* name = reinterpret_cast<const char*>(node->name);
    return name && std::strstr(name, "pagebreak") != nullptr;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

std::string HtmlAnchorName(size_t documentIndex, std::string_view id)
{
    return "d" + std::to_string(documentIndex) + (id.empty() ? std::string() : "-" + SanitizeUtf8(id));
}

class HtmlBlockCollector::Walker {
public:
    Walker(const HtmlBlockCollector& owner, size_t documentIndex, HtmlBlocks& result)
        : m_owner(owner), m_document(documentIndex), m_result(result)
    {
    }

    void Walk(const xmlNode* root)
    {
        AddPendingAnchor(HtmlAnchorName(m_document, ""));
        MarkBreak();
        WalkChildren(root, 0);
        Flush();
    }

private:
    HtmlBlocks& Result() { return m_result; }

    void MarkBreak()
    {
        std::vector<size_t>& breaks = Result().breaks;
        const size_t at = Result().blocks.size();
        if (breaks.empty() || breaks.back() != at)
            breaks.push_back(at);
    }

    void AddPendingAnchor(const std::string& anchor)
    {
        // Anchors inside a paragraph under way belong to it; others wait for the next block.
        Result().anchorBlock.emplace(anchor, Result().blocks.size());
        if (HasText())
            m_runAnchors.push_back(anchor);
        else
            m_blockAnchors.push_back(anchor);
    }

    bool HasText() const
    {
        return std::any_of(m_runs.begin(), m_runs.end(), [](const InlineRun& run) {
            return !run.imageId.empty() || run.text.find_first_not_of(" \n") != std::string::npos;
        });
    }

    void WalkChildren(const xmlNode* node, int depth)
    {
        for (const xmlNode* child = node->children; child; child = child->next)
            WalkNode(child, depth + 1);
    }

    void WalkNode(const xmlNode* node, int depth)
    {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            AddText(reinterpret_cast<const char*>(node->content));
            return;
        }
        if (node->type != XML_ELEMENT_NODE || NameIn(node, kSkippedTags))
            return;
        if (depth > kMaxDepth) {
            AddFlattenedText(node);
            return;
        }
        for (const char* idAttribute : {"id", "name"}) {
            const std::string id = Attribute(node, idAttribute);
            if (!id.empty() && (idAttribute[0] == 'i' || NameIs(node, "a")))
                AddPendingAnchor(HtmlAnchorName(m_document, id));
        }
        if (IsPageBreak(node)) {
            Flush();
            MarkBreak();
            return;
        }
        if (const int level = HeadingLevel(node)) {
            Flush();
            m_headingLevel = level;
            WalkChildren(node, depth);
            Flush();
            m_headingLevel = 0;
            return;
        }
        if (NameIs(node, "br")) {
            AddRun("\n");
            return;
        }
        if (NameIs(node, "hr")) {
            Flush();
            EmitBlock(TextBlock({}, BlockKind::SceneBreak));
            return;
        }
        if (NameIs(node, "img") || NameIs(node, "image")) {
            AddImage(node);
            return;
        }
        if (NameIn(node, kBlockTags)) {
            Flush();
            const bool quoted = NameIs(node, "blockquote");
            const bool pre = NameIs(node, "pre");
            m_quoteDepth += quoted;
            m_preDepth += pre;
            WalkChildren(node, depth);
            Flush();
            m_quoteDepth -= quoted;
            m_preDepth -= pre;
            return;
        }
        const std::uint32_t savedStyles = m_styles;
        const std::string savedLink = m_link;
        for (const StyleTag& tag : kStyleTags)
            if (NameIs(node, tag.name))
                m_styles |= tag.style;
        if (NameIs(node, "a")) {
            const std::string link = ResolveLink(Attribute(node, "href"));
            if (!link.empty())
                m_link = link;
        }
        WalkChildren(node, depth);
        m_styles = savedStyles;
        m_link = savedLink;
    }

    /// The text below `top` without its structure, walked without recursion:
    /// markup nested deeper than kMaxDepth would otherwise exhaust the stack.
    void AddFlattenedText(const xmlNode* top)
    {
        const xmlNode* node = top->children;
        while (node) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                AddText(reinterpret_cast<const char*>(node->content));
            } else if (node->type == XML_ELEMENT_NODE && !NameIn(node, kSkippedTags)) {
                if (NameIs(node, "br"))
                    AddRun("\n");
                if (node->children) {
                    node = node->children;
                    continue;
                }
            }
            while (node != top && !node->next)
                node = node->parent;
            node = node == top ? nullptr : node->next;
        }
    }

    std::string ResolveLink(const std::string& href) const
    {
        if (href.empty())
            return {};
        if (href.rfind("http://", 0) == 0 || href.rfind("https://", 0) == 0 || href.rfind("mailto:", 0) == 0)
            return href;
        const size_t hash = href.find('#');
        const std::string file = href.substr(0, hash);
        const std::string fragment = hash == std::string::npos ? std::string() : href.substr(hash + 1);
        size_t document = m_document;
        if (!file.empty()) {
            const std::string base = file.substr(file.find_last_of('/') + 1);
            const auto& names = m_owner.m_documentNames;
            const auto found = std::find(names.begin(), names.end(), base);
            if (found == names.end())
                return {};
            document = static_cast<size_t>(found - names.begin());
        }
        return "#" + HtmlAnchorName(document, fragment);
    }

    void AddImage(const xmlNode* node)
    {
        std::string reference = Attribute(node, "src");
        if (reference.empty())
            reference = Attribute(node, "recindex");
        if (reference.empty())
            reference = Attribute(node, "xlink:href");
        const std::string imageId = reference.empty() ? std::string() : m_owner.m_resolveImage(reference);
        if (imageId.empty())
            return;
        InlineRun run;
        run.text = CollapseWhitespace(SanitizeUtf8(Attribute(node, "alt")));
        run.imageId = imageId;
        if (m_headingLevel != 0 || HasText()) {
            TakeRunAnchors(run);
            m_runs.push_back(std::move(run));
            return;
        }
        Flush();
        Block block;
        block.kind = BlockKind::Image;
        block.imageId = imageId;
        if (!run.text.empty()) {
            run.imageId.clear();
            block.runs.push_back(std::move(run));
        }
        EmitBlock(std::move(block));
    }

    void AddText(const char* raw)
    {
        if (!raw)
            return;
        const std::string text = SanitizeUtf8(raw);
        if (m_preDepth > 0) {
            size_t start = 0;
            for (size_t i = 0; i <= text.size(); ++i) {
                if (i == text.size() || text[i] == '\n') {
                    AddRun(text.substr(start, i - start));
                    if (i < text.size())
                        AddRun("\n");
                    start = i + 1;
                }
            }
            return;
        }
        std::string collapsed;
        collapsed.reserve(text.size());
        for (const char c : text) {
            if (IsSpace(c)) {
                if (collapsed.empty() || collapsed.back() != ' ')
                    collapsed += ' ';
            } else {
                collapsed += c;
            }
        }
        AddRun(collapsed);
    }

    void TakeRunAnchors(InlineRun& run)
    {
        if (!m_runAnchors.empty()) {
            run.anchor = m_runAnchors.front();
            m_runAnchors.erase(m_runAnchors.begin());
        }
    }

    void AddRun(std::string text)
    {
        if (text.empty())
            return;
        while (!m_runAnchors.empty()) {
            // One anchor per run: further ones ride on empty runs.
            InlineRun marker;
            TakeRunAnchors(marker);
            if (m_runAnchors.empty()) {
                marker.text = std::move(text);
                marker.styles = m_styles;
                marker.link = m_link;
                m_runs.push_back(std::move(marker));
                return;
            }
            m_runs.push_back(std::move(marker));
        }
        if (!m_runs.empty() && m_runs.back().imageId.empty() && m_runs.back().text != "\n" && text != "\n" &&
            m_runs.back().styles == m_styles && m_runs.back().link == m_link) {
            m_runs.back().text += text;
            return;
        }
        InlineRun run;
        run.text = std::move(text);
        run.styles = m_styles;
        run.link = m_link;
        m_runs.push_back(std::move(run));
    }

    /// Ends the paragraph or heading under way.
    void Flush()
    {
        std::vector<InlineRun> runs = std::move(m_runs);
        m_runs.clear();
        for (std::string& anchor : m_runAnchors)
            m_blockAnchors.push_back(std::move(anchor));
        m_runAnchors.clear();
        TrimRuns(runs);
        const bool hasContent = std::any_of(runs.begin(), runs.end(), [](const InlineRun& run) {
            return !run.imageId.empty() || (!run.text.empty() && run.text != "\n");
        });
        if (!hasContent)
            return;
        Block block;
        block.runs = std::move(runs);
        if (m_headingLevel != 0) {
            block.kind = BlockKind::Heading;
            block.level = m_headingLevel;
        } else if (m_quoteDepth > 0) {
            block.role = BlockRole::Cite;
        }
        EmitBlock(std::move(block));
    }

    static void TrimRuns(std::vector<InlineRun>& runs)
    {
        // Line breaks and blanks at either end carry nothing.
        while (!runs.empty() && runs.back().imageId.empty() && runs.back().anchor.empty() &&
               (runs.back().text == "\n" || runs.back().text.find_first_not_of(' ') == std::string::npos))
            runs.pop_back();
        if (!runs.empty() && runs.back().imageId.empty()) {
            std::string& text = runs.back().text;
            text.erase(text.find_last_not_of(' ') + 1);
        }
        size_t first = 0;
        while (first < runs.size() && runs[first].imageId.empty() && runs[first].anchor.empty() &&
               (runs[first].text == "\n" || runs[first].text.find_first_not_of(' ') == std::string::npos))
            ++first;
        runs.erase(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(first));
        if (!runs.empty() && runs.front().imageId.empty() && runs.front().text != "\n") {
            std::string& text = runs.front().text;
            text.erase(0, text.find_first_not_of(' ') == std::string::npos ? text.size() : text.find_first_not_of(' '));
        }
    }

    void EmitBlock(Block block)
    {
        if (!m_blockAnchors.empty()) {
            block.anchor = m_blockAnchors.front();
            // Further anchors ride on empty runs where the block has runs.
            for (size_t i = 1; i < m_blockAnchors.size(); ++i) {
                if (block.kind == BlockKind::Paragraph || block.kind == BlockKind::Heading) {
                    InlineRun marker;
                    marker.anchor = m_blockAnchors[i];
                    block.runs.insert(block.runs.begin(), std::move(marker));
                }
            }
            m_blockAnchors.clear();
        }
        Result().blocks.push_back(std::move(block));
    }

    const HtmlBlockCollector& m_owner;
    size_t m_document;
    HtmlBlocks& m_result; ///< the blocks of this document alone
    std::vector<InlineRun> m_runs;
    std::vector<std::string> m_blockAnchors;
    std::vector<std::string> m_runAnchors;
    std::uint32_t m_styles = StylePlain;
    std::string m_link;
    int m_headingLevel = 0;
    int m_quoteDepth = 0;
    int m_preDepth = 0;
};

HtmlBlockCollector::HtmlBlockCollector(std::vector<std::string> documentNames, ImageResolver resolveImage)
    : m_documentNames(std::move(documentNames)), m_resolveImage(std::move(resolveImage))
{
    // libxml2 sets up its global tables here, before any thread parses.
    xmlInitParser();
}

HtmlBlocks HtmlBlockCollector::ReadDocument(size_t documentIndex, std::string_view html) const
{
    if (html.size() > INT_MAX)
        html = html.substr(0, INT_MAX);
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                        HTML_PARSE_COMPACT | HTML_PARSE_NOIMPLIED;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", options), &xmlFreeDoc);
    HtmlBlocks blocks;
    Walker walker(*this, documentIndex, blocks);
    if (!doc) {
        // Nothing the parser could use; the document still marks its place.
        xmlNode empty{};
        walker.Walk(&empty);
    } else {
        walker.Walk(reinterpret_cast<const xmlNode*>(doc.get()));
    }
    return blocks;
}

void HtmlBlockCollector::Append(HtmlBlocks&& document)
{
    const size_t offset = m_result.blocks.size();
    for (const size_t at : document.breaks)
        if (m_result.breaks.empty() || m_result.breaks.back() != at + offset)
            m_result.breaks.push_back(at + offset);
    // An anchor an earlier document already has keeps its first place.
    for (const auto& [anchor, block] : document.anchorBlock)
        m_result.anchorBlock.emplace(anchor, block + offset);
    m_result.blocks.insert(m_result.blocks.end(), std::make_move_iterator(document.blocks.begin()),
                           std::make_move_iterator(document.blocks.end()));
}

void HtmlBlockCollector::AddDocument(size_t documentIndex, std::string_view html)
{
    Append(ReadDocument(documentIndex, html));
}

void HtmlBlockCollector::AddDocuments(const std::vector<std::string>& documents)
{
    size_t bytes = 0;
    for (const std::string& document : documents)
        bytes += document.size();
    std::vector<HtmlBlocks> read(documents.size());
    ParallelFor(documents.size(), ThreadsForBytes(bytes),
                [&](size_t i) { read[i] = ReadDocument(i, documents[i]); });
    for (HtmlBlocks& document : read)
        Append(std::move(document));
}

HtmlBlocks HtmlBlockCollector::Take()
{
    return std::move(m_result);
}

} // namespace kelvra
