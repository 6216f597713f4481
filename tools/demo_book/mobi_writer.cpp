#include "tools/demo_book/mobi_writer.h"

#include "converter/epub_package.h"
#include "converter/xml_text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace kelvra {

namespace {

constexpr size_t kTextRecordSize = 4096;
constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;
constexpr size_t kMobiHeaderLength = 232;
constexpr size_t kPalmDocHeaderLength = 16;
/// Width of a filepos value; links are written with zeros and patched once
/// every anchor's position is known.
constexpr size_t kFileposDigits = 10;

void PutU16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value)
{
    PutU16(out, value >> 16);
    PutU16(out, value & 0xFFFF);
}

void SetU32(std::string& out, size_t at, std::uint32_t value)
{
    std::string bytes;
    PutU32(bytes, value);
    out.replace(at, 4, bytes);
}

void PadTo4(std::string& out)
{
    while (out.size() % 4 != 0)
        out += '\0';
}

/// The book's HTML in the markup MOBI readers expect, with internal links as
/// filepos byte offsets into the text.
class MobiHtml {
public:
    MobiHtml(const Book& book, const std::map<std::string, size_t>& recordIndexOfImage)
        : m_book(book), m_recindex(recordIndexOfImage)
    {
    }

    std::string Build()
    {
        m_out = "<html><head><title>" + EscapeXml(m_book.metadata.title) + "</title></head><body>";
        bool first = true;
        for (const Chapter& chapter : m_book.chapters) {
            if (!first)
                m_out += "<mbp:pagebreak/>";
            first = false;
            MarkAnchor(chapter.anchor);
            for (const Block& block : chapter.blocks)
                AddBlock(block);
        }
        m_out += "</body></html>";
        PatchLinks();
        return m_out;
    }

private:
    void MarkAnchor(const std::string& anchor)
    {
        if (!anchor.empty())
            m_anchors.emplace(anchor, m_out.size());
    }

    void AddBlock(const Block& block)
    {
        MarkAnchor(block.anchor);
        switch (block.kind) {
        case BlockKind::Heading: {
            const std::string tag = "h" + std::to_string(std::clamp(block.level, 1, 6));
            m_out += "<" + tag + ">";
            AddRuns(block.runs);
            m_out += "</" + tag + ">";
            break;
        }
        case BlockKind::SceneBreak:
            m_out += "<hr/>";
            break;
        case BlockKind::EmptyLine:
            m_out += "<p> </p>";
            break;
        case BlockKind::Image:
            m_out += "<p>";
            AddImage(block.imageId, RunsText(block.runs));
            m_out += "</p>";
            break;
        case BlockKind::Paragraph:
            m_out += block.role == BlockRole::Body ? "<p>" : "<blockquote><p>";
            AddRuns(block.runs);
            m_out += block.role == BlockRole::Body ? "</p>" : "</p></blockquote>";
            break;
        }
    }

    void AddImage(const std::string& imageId, const std::string& alt)
    {
        const auto found = m_recindex.find(imageId);
        if (found == m_recindex.end())
            return;
        char recindex[8];
        std::snprintf(recindex, sizeof recindex, "%05zu", found->second);
        m_out += "<img recindex=\"" + std::string(recindex) + "\" alt=\"" + EscapeXml(alt) + "\"/>";
    }

    void AddRuns(const std::vector<InlineRun>& runs)
    {
        static constexpr struct {
            std::uint32_t style;
            const char* tag;
        } kTags[] = {{StyleBold, "b"},        {StyleItalic, "i"}, {StyleUnderline, "u"}, {StyleStrike, "s"},
                     {StyleSuperscript, "sup"}, {StyleSubscript, "sub"}, {StyleCode, "code"}};
        for (const InlineRun& run : runs) {
            MarkAnchor(run.anchor);
            if (!run.imageId.empty()) {
                AddImage(run.imageId, run.text);
                continue;
            }
            if (run.text == "\n") {
                m_out += "<br/>";
                continue;
            }
            std::string close;
            if (!run.link.empty()) {
                if (run.link.front() == '#') {
                    m_out += "<a filepos=";
                    m_links.emplace_back(m_out.size(), run.link.substr(1));
                    m_out += std::string(kFileposDigits, '0') + ">";
                } else {
                    m_out += "<a href=\"" + EscapeXml(run.link) + "\">";
                }
                close = "</a>";
            }
            for (const auto& entry : kTags) {
                if (run.styles & entry.style) {
                    m_out += std::string("<") + entry.tag + ">";
                    close = std::string("</") + entry.tag + ">" + close;
                }
            }
            m_out += EscapeXml(run.text) + close;
        }
    }

    void PatchLinks()
    {
        for (const auto& [at, anchor] : m_links) {
            const auto target = m_anchors.find(anchor);
            char digits[kFileposDigits + 1];
            std::snprintf(digits, sizeof digits, "%010zu", target == m_anchors.end() ? size_t(0) : target->second);
            m_out.replace(at, kFileposDigits, digits);
        }
    }

    const Book& m_book;
    const std::map<std::string, size_t>& m_recindex;
    std::string m_out;
    std::map<std::string, size_t> m_anchors;
    std::vector<std::pair<size_t, std::string>> m_links;
};

struct ExthRecord {
    std::uint32_t type;
    std::string data;
};

std::string NumberBytes(std::uint32_t value)
{
    std::string out;
    PutU32(out, value);
    return out;
}

std::vector<ExthRecord> ExthRecords(const Metadata& metadata, long coverIndex)
{
    std::vector<ExthRecord> records;
    for (const std::string& author : metadata.authors)
        records.push_back({100, author});
    if (!metadata.publisher.empty())
        records.push_back({101, metadata.publisher});
    if (!metadata.description.empty())
        records.push_back({103, metadata.description});
    if (!metadata.date.empty())
        records.push_back({106, metadata.date});
    if (!metadata.identifier.empty())
        records.push_back({112, metadata.identifier});
    if (coverIndex >= 0) {
        records.push_back({201, NumberBytes(static_cast<std::uint32_t>(coverIndex))});
        records.push_back({203, NumberBytes(0)});
    }
    records.push_back({501, "EBOK"});
    records.push_back({503, metadata.title});
    if (!metadata.language.empty())
        records.push_back({524, metadata.language});
    return records;
}

std::string ExthBlock(const std::vector<ExthRecord>& records)
{
    std::string body;
    for (const ExthRecord& record : records) {
        PutU32(body, record.type);
        PutU32(body, static_cast<std::uint32_t>(record.data.size() + 8));
        body += record.data;
    }
    std::string out = "EXTH";
    PutU32(out, static_cast<std::uint32_t>(body.size() + 12));
    PutU32(out, static_cast<std::uint32_t>(records.size()));
    out += body;
    PadTo4(out);
    return out;
}

/// Windows language identifiers of the languages a MOBI header names by number.
std::uint32_t LocaleNumber(const std::string& language)
{
    static const std::map<std::string, std::uint32_t> kLocales = {
        {"de", 7}, {"en", 9}, {"es", 10}, {"fr", 12}, {"it", 16}, {"nl", 19}, {"pl", 21}, {"ru", 25},
    };
    const auto found = kLocales.find(language.substr(0, 2));
    return found == kLocales.end() ? 0 : found->second;
}

/// `firstImage` is kNoIndex when the book has no image.
std::string RecordZero(const Book& book, size_t textLength, size_t textRecords, std::uint32_t firstImage,
                       size_t lastContent, long coverIndex, const MobiWriteOptions& options)
{
    std::string out;
    PutU16(out, 1); // no compression
    PutU16(out, 0);
    PutU32(out, static_cast<std::uint32_t>(textLength));
    PutU16(out, static_cast<std::uint32_t>(textRecords));
    PutU16(out, kTextRecordSize);
    PutU16(out, options.markEncrypted ? 2 : 0);
    PutU16(out, 0);

    const size_t mobiStart = out.size();
    out += "MOBI";
    PutU32(out, kMobiHeaderLength);
    PutU32(out, 2);     // a book
    PutU32(out, 65001); // UTF-8
    PutU32(out, 0x4B4C5652);
    PutU32(out, 6); // file version
    for (int i = 0; i < 10; ++i)
        PutU32(out, kNoIndex); // orthographic, inflection, names, keys and extra indexes
    PutU32(out, static_cast<std::uint32_t>(textRecords + 1)); // first non-book record
    const size_t fullNameOffsetAt = out.size();
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(book.metadata.title.size()));
    PutU32(out, LocaleNumber(book.metadata.language));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 6); // minimum reader version
    PutU32(out, firstImage);
    PutU32(out, 0); // no Huffman records
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0x40); // an EXTH header follows
    out.append(32, '\0');
    PutU32(out, kNoIndex);
    PutU32(out, kNoIndex); // no DRM: offset, count, size, flags
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    out.append(8, '\0');
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(lastContent));
    PutU32(out, 1);
    PutU32(out, kNoIndex); // FCIS
    PutU32(out, 0);
    PutU32(out, kNoIndex); // FLIS
    PutU32(out, 0);
    out.append(8, '\0');
    PutU32(out, kNoIndex);
    PutU32(out, 0);
    PutU32(out, kNoIndex);
    PutU32(out, kNoIndex);
    PutU32(out, 0);        // no trailing entries after the text records
    PutU32(out, kNoIndex); // no NCX index
    out.resize(mobiStart + kMobiHeaderLength, '\0');

    out += ExthBlock(ExthRecords(book.metadata, coverIndex));
    SetU32(out, fullNameOffsetAt, static_cast<std::uint32_t>(out.size()));
    out += book.metadata.title;
    out.append(2, '\0');
    PadTo4(out);
    return out;
}

std::string PalmDatabase(const std::string& name, const std::vector<std::string>& records)
{
    std::string out = name.substr(0, 31);
    for (char& c : out)
        if (c == ' ' || static_cast<unsigned char>(c) >= 0x80)
            c = '_';
    out.resize(32, '\0');
    PutU16(out, 0);
    PutU16(out, 0);
    const std::uint32_t stamp = 0x7C25B080; // a fixed time keeps the output reproducible
    PutU32(out, stamp);
    PutU32(out, stamp);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    out += "BOOKMOBI";
    PutU32(out, static_cast<std::uint32_t>(2 * records.size() - 1));
    PutU32(out, 0);
    PutU16(out, static_cast<std::uint32_t>(records.size()));
    size_t offset = out.size() + 8 * records.size() + 2;
    for (size_t i = 0; i < records.size(); ++i) {
        PutU32(out, static_cast<std::uint32_t>(offset));
        PutU32(out, static_cast<std::uint32_t>(2 * i) & 0x00FFFFFF);
        offset += records[i].size();
    }
    PutU16(out, 0);
    for (const std::string& record : records)
        out += record;
    return out;
}

} // namespace

std::string WriteMobiBook(const Book& book, const MobiWriteOptions& options)
{
    std::vector<const Image*> images;
    std::map<std::string, size_t> recindex;
    long coverIndex = -1;
    for (const Image& image : book.images) {
        if (SniffImageMediaType(image.data).empty() || recindex.count(image.id) != 0)
            continue;
        images.push_back(&image);
        recindex.emplace(image.id, images.size());
        if (image.id == book.coverImageId)
            coverIndex = static_cast<long>(images.size() - 1);
    }

    const std::string html = MobiHtml(book, recindex).Build();
    std::vector<std::string> records(1);
    for (size_t at = 0; at < html.size(); at += kTextRecordSize)
        records.push_back(html.substr(at, kTextRecordSize));
    const size_t textRecords = records.size() - 1;
    const size_t firstImage = records.size();
    for (const Image* image : images)
        records.push_back(image->data);
    const size_t lastContent = records.size() - 1;
    records.push_back(std::string("\xE9\x8E\x0D\x0A", 4));

    records[0] = RecordZero(book, html.size(), textRecords, images.empty() ? kNoIndex : static_cast<std::uint32_t>(firstImage), lastContent,
                            coverIndex, options);
    return PalmDatabase(book.metadata.title.empty() ? "book" : book.metadata.title, records);
}

} // namespace kelvra
