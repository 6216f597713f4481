#include "converter/fb2_reader.h"

#include "converter/base64.h"
#include "converter/conversion_error.h"
#include "converter/xml_text.h"

#include <libxml/parser.h>

#include <cstring>
#include <memory>

namespace kelvra {

namespace {

bool Is(const xmlNode* node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* node, const char* name)
{
    for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next)
        if (Is(child, name))
            return child;
    return nullptr;
}

/// The value of an attribute by local name, whatever its namespace prefix
/// ("l:href", "xlink:href" and plain "href" alike).
std::string Attribute(const xmlNode* node, const char* name)
{
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (std::strcmp(reinterpret_cast<const char*>(attribute->name), name) != 0)
            continue;
        std::string value;
        for (const xmlNode* part = attribute->children; part; part = part->next)
            if (part->type == XML_TEXT_NODE && part->content)
                value += reinterpret_cast<const char*>(part->content);
        return value;
    }
    return {};
}

/// The text of a node and its descendants. Entity references are left out,
/// so a document's own entities can never be expanded into a flood of text.
void AppendText(const xmlNode* node, std::string& out)
{
    for (const xmlNode* child = node->children; child; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) && child->content)
            out += reinterpret_cast<const char*>(child->content);
        else if (child->type == XML_ELEMENT_NODE)
            AppendText(child, out);
    }
}

std::string TextContent(const xmlNode* node)
{
    std::string text;
    if (node)
        AppendText(node, text);
    return CollapseWhitespace(text);
}

/// "#pic1" names the binary "pic1"; other targets are not images of the book.
std::string LocalTarget(const std::string& href)
{
    return href.size() > 1 && href[0] == '#' ? href.substr(1) : std::string();
}

class Fb2Mapper {
public:
    Book Map(const xmlNode* root)
    {
        const xmlNode* description = Child(root, "description");
        ReadTitleInfo(Child(description, "title-info"));
        if (const xmlNode* publish = Child(description, "publish-info"))
            m_book.metadata.publisher = TextContent(Child(publish, "publisher"));
        for (const xmlNode* node = root->children; node; node = node->next) {
            if (Is(node, "body"))
                ReadBody(node);
            else if (Is(node, "binary"))
                ReadBinary(node);
        }
        bool hasText = false;
        for (const Chapter& chapter : m_book.chapters)
            for (const Block& block : chapter.blocks)
                hasText = hasText || !CollapseWhitespace(RunsText(block.runs)).empty() || block.kind == BlockKind::Image;
        if (!hasText)
            throw InputRejected("the FB2 file holds no text");
        return std::move(m_book);
    }

private:
    void ReadTitleInfo(const xmlNode* info)
    {
        if (!info)
            return;
        Metadata& metadata = m_book.metadata;
        metadata.title = TextContent(Child(info, "book-title"));
        metadata.language = TextContent(Child(info, "lang"));
        metadata.description = TextContent(Child(info, "annotation"));
        if (const xmlNode* date = Child(info, "date")) {
            metadata.date = Attribute(date, "value");
            if (metadata.date.empty())
                metadata.date = TextContent(date);
        }
        for (const xmlNode* node = info->children; node; node = node->next) {
            if (!Is(node, "author"))
                continue;
            std::string name;
            for (const char* part : {"first-name", "middle-name", "last-name"}) {
                const std::string text = TextContent(Child(node, part));
                if (!text.empty())
                    name += (name.empty() ? "" : " ") + text;
            }
            if (name.empty())
                name = TextContent(Child(node, "nickname"));
            if (!name.empty())
                metadata.authors.push_back(name);
        }
        if (const xmlNode* cover = Child(info, "coverpage"))
            if (const xmlNode* image = Child(cover, "image"))
                m_book.coverImageId = LocalTarget(Attribute(image, "href"));
    }

    void ReadBinary(const xmlNode* node)
    {
        const std::string id = Attribute(node, "id");
        if (id.empty())
            return;
        std::string content;
        AppendText(node, content);
        m_book.images.push_back(Image{id, Attribute(node, "content-type"), DecodeBase64(content)});
    }

    void ReadBody(const xmlNode* body)
    {
        const std::string name = Attribute(body, "name");
        m_notes = name == "notes" || name == "comments" || name == "footnotes";
        Chapter opening;
        if (m_notes) {
            opening.title = TitleText(Child(body, "title"));
            if (opening.title.empty())
                opening.title = "Notes";
            opening.blocks.push_back(TextBlock(opening.title, BlockKind::Heading));
        } else if (const xmlNode* title = Child(body, "title")) {
            // The body's title repeats the book's name and authors: shown, not listed.
            AddTitleBlocks(title, opening.blocks, 1);
        }
        m_book.chapters.push_back(std::move(opening));
        for (const xmlNode* node = body->children; node; node = node->next) {
            if (Is(node, "section"))
                ReadSection(node, 1);
            else if (!Is(node, "title"))
                ReadBlock(node, BlockRole::Body);
        }
        m_notes = false;
    }

    void ReadSection(const xmlNode* section, int depth)
    {
        const xmlNode* title = Child(section, "title");
        const std::string titleText = TitleText(title);
        const std::string id = Attribute(section, "id");
        if (m_notes) {
            // Each note is a short passage, linked from the text by its id.
            Block label = TextBlock(titleText, BlockKind::Paragraph, BlockRole::Note);
            label.runs.front().styles = StyleBold;
            label.anchor = id;
            Blocks().push_back(std::move(label));
        } else if (!titleText.empty() || depth == 1) {
            Chapter chapter;
            chapter.title = titleText;
            chapter.level = depth;
            chapter.anchor = id;
            if (title)
                AddTitleBlocks(title, chapter.blocks, depth);
            m_book.chapters.push_back(std::move(chapter));
        } else if (!id.empty()) {
            Block anchor = TextBlock({});
            anchor.anchor = id;
            Blocks().push_back(std::move(anchor));
        }
        for (const xmlNode* node = section->children; node; node = node->next) {
            if (Is(node, "section"))
                ReadSection(node, depth + 1);
            else if (!Is(node, "title"))
                ReadBlock(node, m_notes ? BlockRole::Note : BlockRole::Body);
        }
    }

    std::vector<Block>& Blocks()
    {
        if (m_book.chapters.empty())
            m_book.chapters.emplace_back();
        return m_book.chapters.back().blocks;
    }

    static std::string TitleText(const xmlNode* title)
    {
        std::string text;
        for (const xmlNode* node = title ? title->children : nullptr; node; node = node->next) {
            if (!Is(node, "p"))
                continue;
            const std::string line = TextContent(node);
            if (line.empty())
                continue;
            if (!text.empty())
                text += std::strchr(".!?:;", text.back()) ? " " : ". ";
            text += line;
        }
        return text;
    }

    void AddTitleBlocks(const xmlNode* title, std::vector<Block>& blocks, int level)
    {
        Block heading;
        heading.kind = BlockKind::Heading;
        heading.level = level;
        for (const xmlNode* node = title->children; node; node = node->next) {
            if (!Is(node, "p"))
                continue;
            if (!heading.runs.empty())
                heading.runs.push_back(InlineRun{"\n", StylePlain, {}, {}, {}});
            ReadInline(node, heading.runs, StylePlain, {});
        }
        if (!heading.runs.empty())
            blocks.push_back(std::move(heading));
    }

    void AddParagraph(const xmlNode* node, BlockRole role)
    {
        Block block;
        block.role = role;
        block.anchor = Attribute(node, "id");
        ReadInline(node, block.runs, StylePlain, {});
        Blocks().push_back(std::move(block));
    }

    void ReadBlock(const xmlNode* node, BlockRole role)
    {
        if (node->type != XML_ELEMENT_NODE)
            return;
        if (Is(node, "p")) {
            AddParagraph(node, role);
        } else if (Is(node, "empty-line")) {
            Blocks().push_back(TextBlock({}, BlockKind::EmptyLine));
        } else if (Is(node, "subtitle")) {
            AddParagraph(node, BlockRole::Subtitle);
        } else if (Is(node, "text-author") || Is(node, "date")) {
            AddParagraph(node, BlockRole::TextAuthor);
        } else if (Is(node, "image")) {
            Block block;
            block.kind = BlockKind::Image;
            block.imageId = LocalTarget(Attribute(node, "href"));
            block.anchor = Attribute(node, "id");
            std::string alt = Attribute(node, "alt");
            if (alt.empty())
                alt = Attribute(node, "title");
            block.runs.push_back(InlineRun{alt, StylePlain, {}, {}, {}});
            Blocks().push_back(std::move(block));
        } else if (Is(node, "epigraph")) {
            ReadChildren(node, BlockRole::Epigraph);
        } else if (Is(node, "cite")) {
            ReadChildren(node, BlockRole::Cite);
        } else if (Is(node, "annotation")) {
            ReadChildren(node, BlockRole::Annotation);
        } else if (Is(node, "poem") || Is(node, "stanza")) {
            ReadPoem(node, role);
        } else if (Is(node, "v")) {
            AddParagraph(node, BlockRole::Verse);
        } else if (Is(node, "title")) {
            Block block;
            block.role = BlockRole::Subtitle;
            block.runs.push_back(InlineRun{TitleText(node), StylePlain, {}, {}, {}});
            Blocks().push_back(std::move(block));
        } else if (Is(node, "table")) {
            ReadTable(node, role);
        } else {
            // An unknown container: keep what it holds.
            ReadChildren(node, role);
        }
    }

    void ReadChildren(const xmlNode* node, BlockRole role)
    {
        for (const xmlNode* child = node->children; child; child = child->next)
            ReadBlock(child, role);
    }

    void ReadPoem(const xmlNode* poem, BlockRole role)
    {
        bool firstStanza = true;
        for (const xmlNode* node = poem->children; node; node = node->next) {
            if (Is(node, "stanza")) {
                if (!firstStanza)
                    Blocks().push_back(TextBlock({}, BlockKind::EmptyLine));
                firstStanza = false;
                ReadChildren(node, BlockRole::Verse);
            } else {
                ReadBlock(node, Is(node, "v") ? BlockRole::Verse : role);
            }
        }
    }

    void ReadTable(const xmlNode* table, BlockRole role)
    {
        for (const xmlNode* row = table->children; row; row = row->next) {
            if (!Is(row, "tr"))
                continue;
            Block block;
            block.role = role;
            for (const xmlNode* cell = row->children; cell; cell = cell->next) {
                if (!Is(cell, "td") && !Is(cell, "th"))
                    continue;
                if (!block.runs.empty())
                    block.runs.push_back(InlineRun{" | ", StylePlain, {}, {}, {}});
                ReadInline(cell, block.runs, Is(cell, "th") ? StyleBold : StylePlain, {});
            }
            Blocks().push_back(std::move(block));
        }
    }

    void ReadInline(const xmlNode* node, std::vector<InlineRun>& runs, std::uint32_t styles, const std::string& link)
    {
        for (const xmlNode* child = node->children; child; child = child->next) {
            if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
                if (child->content)
                    runs.push_back(InlineRun{reinterpret_cast<const char*>(child->content), styles, link, {}, {}});
                continue;
            }
            if (child->type != XML_ELEMENT_NODE)
                continue;
            std::uint32_t inner = styles;
            std::string innerLink = link;
            if (Is(child, "strong"))
                inner |= StyleBold;
            else if (Is(child, "emphasis"))
                inner |= StyleItalic;
            else if (Is(child, "strikethrough"))
                inner |= StyleStrike;
            else if (Is(child, "sup"))
                inner |= StyleSuperscript;
            else if (Is(child, "sub"))
                inner |= StyleSubscript;
            else if (Is(child, "code"))
                inner |= StyleCode;
            if (Is(child, "a")) {
                innerLink = Attribute(child, "href");
                if (Attribute(child, "type") == "note")
                    inner |= StyleSuperscript;
            }
            if (Is(child, "image")) {
                InlineRun image{Attribute(child, "alt"), styles, link, LocalTarget(Attribute(child, "href")), {}};
                runs.push_back(std::move(image));
                continue;
            }
            const size_t before = runs.size();
            ReadInline(child, runs, inner, innerLink);
            const std::string id = Attribute(child, "id");
            if (!id.empty() && runs.size() > before)
                runs[before].anchor = id;
        }
    }

    Book m_book;
    bool m_notes = false;
};

/// libxml2 reports some encoding errors through its generic message hook
/// even when asked for no messages; they must not reach standard error.
void IgnoreLibxmlMessage(void*, const char*, ...) {}

} // namespace

Book ReadFb2Book(const SourceFile& source)
{
    xmlSetGenericErrorFunc(nullptr, &IgnoreLibxmlMessage);
    if (source.bytes.size() > static_cast<size_t>(INT32_MAX))
        throw InputRejected("the FB2 file is too large");
    // No network, no external entities, no messages on the console.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> document(
        xmlReadMemory(source.bytes.data(), static_cast<int>(source.bytes.size()), nullptr, nullptr, options), xmlFreeDoc);
    if (!document) {
        const xmlError* error = xmlGetLastError();
        std::string reason = error && error->message ? CollapseWhitespace(error->message) : std::string("unknown error");
        if (error)
            reason = "line " + std::to_string(error->line) + ": " + reason;
        xmlResetLastError();
        throw InputRejected("the FB2 file is not well-formed XML (" + reason + ")");
    }
    const xmlNode* root = xmlDocGetRootElement(document.get());
    if (!Is(root, "FictionBook"))
        throw InputRejected("the XML file is not a FictionBook");
    Book book = Fb2Mapper().Map(root);
    if (CollapseWhitespace(book.metadata.title).empty())
        book.metadata.title = source.baseName;
    return book;
}

} // namespace kelvra
