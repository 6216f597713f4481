#include "tools/demo_book/mobi_markup.h"

#include "converter/xml_text.h"

#include <algorithm>
#include <cstdio>

namespace kelvra::mobi {

namespace {

constexpr size_t kFileposDigits = 10;
constexpr char kFidPrefix[] = "kindle:pos:fid:";

struct PendingLink {
    size_t at; ///< where the placeholder begins in the text
    std::string anchor;
};

class MarkupBuilder {
public:
    MarkupBuilder(const Book& book, const std::map<std::string, size_t>& imageNumbers, Dialect dialect)
        : m_book(book), m_images(imageNumbers), m_dialect(dialect)
    {
    }

    Markup Build(const std::string& lead)
    {
        m_markup.text = lead;
        for (size_t i = 0; i < m_book.chapters.size(); ++i) {
            const Chapter& chapter = m_book.chapters[i];
            if (m_dialect == Dialect::Mobi6 && i > 0)
                m_markup.text += "<mbp:pagebreak/>";
            m_markup.chapterStarts.push_back(m_markup.text.size());
            MarkAnchor(chapter.anchor);
            for (const Block& block : chapter.blocks)
                AddBlock(block);
        }
        PatchLinks();
        return std::move(m_markup);
    }

private:
    std::string& Out() { return m_markup.text; }

    void MarkAnchor(const std::string& anchor)
    {
        if (!anchor.empty())
            m_anchors.emplace(anchor, Out().size());
    }

    /// ` id="..."` for an anchor in KF8, whose positions resolve to the
    /// nearest id; nothing in the older dialect, which links by offset.
    std::string IdAttribute(const std::string& anchor)
    {
        if (anchor.empty() || m_dialect != Dialect::Kf8)
            return {};
        const auto [it, added] = m_ids.emplace(anchor, "k" + std::to_string(m_ids.size() + 1));
        return added ? " id=\"" + it->second + "\"" : std::string();
    }

    void AddBlock(const Block& block)
    {
        MarkAnchor(block.anchor);
        const std::string id = IdAttribute(block.anchor);
        switch (block.kind) {
        case BlockKind::Heading: {
            const std::string tag = "h" + std::to_string(std::clamp(block.level, 1, 6));
            Out() += "<" + tag + id + ">";
            AddRuns(block.runs);
            Out() += "</" + tag + ">";
            break;
        }
        case BlockKind::SceneBreak:
            Out() += "<hr" + id + "/>";
            break;
        case BlockKind::EmptyLine:
            Out() += "<p" + id + "> </p>";
            break;
        case BlockKind::Image:
            Out() += "<p" + id + ">";
            AddImage(block.imageId, RunsText(block.runs));
            Out() += "</p>";
            break;
        case BlockKind::Paragraph:
            Out() += block.role == BlockRole::Body ? "<p" + id + ">" : "<blockquote" + id + "><p>";
            AddRuns(block.runs);
            Out() += block.role == BlockRole::Body ? "</p>" : "</p></blockquote>";
            break;
        }
    }

    void AddImage(const std::string& imageId, const std::string& alt)
    {
        const auto found = m_images.find(imageId);
        if (found == m_images.end())
            return;
        if (m_dialect == Dialect::Kf8) {
            Out() += "<img src=\"kindle:embed:" + Base32(static_cast<std::uint32_t>(found->second), 4) +
                     "\" alt=\"" + EscapeXml(alt) + "\"/>";
            return;
        }
        char recindex[16];
        std::snprintf(recindex, sizeof recindex, "%05zu", found->second);
        Out() += "<img recindex=\"" + std::string(recindex) + "\" alt=\"" + EscapeXml(alt) + "\"/>";
    }

    void OpenInternalLink(const std::string& anchor)
    {
        if (m_dialect == Dialect::Kf8) {
            Out() += "<a href=\"";
            m_links.push_back(PendingLink{Out().size(), anchor});
            Out() += std::string(kFidPrefix) + "0000:off:0000000000\">";
        } else {
            Out() += "<a filepos=";
            m_links.push_back(PendingLink{Out().size(), anchor});
            Out() += std::string(kFileposDigits, '0') + ">";
        }
    }

    void AddRuns(const std::vector<InlineRun>& runs)
    {
        static constexpr struct {
            std::uint32_t style;
            const char* tag;
        } kTags[] = {{StyleBold, "b"},          {StyleItalic, "i"},      {StyleUnderline, "u"}, {StyleStrike, "s"},
                     {StyleSuperscript, "sup"}, {StyleSubscript, "sub"}, {StyleCode, "code"}};
        for (const InlineRun& run : runs) {
            MarkAnchor(run.anchor);
            const std::string id = IdAttribute(run.anchor);
            if (!id.empty())
                Out() += "<span" + id + "></span>";
            if (!run.imageId.empty()) {
                AddImage(run.imageId, run.text);
                continue;
            }
            if (run.text == "\n") {
                Out() += "<br/>";
                continue;
            }
            std::string close;
            if (!run.link.empty()) {
                if (run.link.front() == '#')
                    OpenInternalLink(run.link.substr(1));
                else
                    Out() += "<a href=\"" + EscapeXml(run.link) + "\">";
                close = "</a>";
            }
            for (const auto& entry : kTags) {
                if (run.styles & entry.style) {
                    Out() += std::string("<") + entry.tag + ">";
                    close = std::string("</") + entry.tag + ">" + close;
                }
            }
            Out() += EscapeXml(run.text) + close;
        }
    }

    /// The chapter holding `offset` and the offset from its start.
    std::pair<size_t, size_t> ChapterPosition(size_t offset) const
    {
        const auto& starts = m_markup.chapterStarts;
        const auto next = std::upper_bound(starts.begin(), starts.end(), offset);
        const size_t chapter = next == starts.begin() ? 0 : static_cast<size_t>(next - starts.begin()) - 1;
        return {chapter, starts.empty() ? offset : offset - starts[chapter]};
    }

    void PatchLinks()
    {
        for (const PendingLink& link : m_links) {
            const auto target = m_anchors.find(link.anchor);
            const size_t offset = target == m_anchors.end() ? 0 : target->second;
            if (m_dialect == Dialect::Kf8) {
                const auto [chapter, within] = ChapterPosition(offset);
                const std::string reference = kFidPrefix + Base32(static_cast<std::uint32_t>(chapter), 4) + ":off:" +
                                              Base32(static_cast<std::uint32_t>(within), 10);
                Out().replace(link.at, reference.size(), reference);
            } else {
                char digits[kFileposDigits + 1];
                std::snprintf(digits, sizeof digits, "%010zu", offset);
                Out().replace(link.at, kFileposDigits, digits);
            }
        }
    }

    const Book& m_book;
    const std::map<std::string, size_t>& m_images;
    Dialect m_dialect;
    Markup m_markup;
    std::map<std::string, size_t> m_anchors;
    std::map<std::string, std::string> m_ids;
    std::vector<PendingLink> m_links;
};

} // namespace

std::string Base32(std::uint32_t value, size_t digits)
{
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    std::string out(digits, '0');
    for (size_t i = digits; i-- > 0 && value != 0; value /= 32)
        out[i] = kDigits[value % 32];
    return out;
}

Markup BookMarkup(const Book& book, const std::map<std::string, size_t>& imageNumbers, Dialect dialect,
                  const std::string& lead)
{
    return MarkupBuilder(book, imageNumbers, dialect).Build(lead);
}

} // namespace kelvra::mobi
