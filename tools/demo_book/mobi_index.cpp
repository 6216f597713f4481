#include "tools/demo_book/mobi_index.h"

#include "tools/demo_book/mobi_records.h"

#include <stdexcept>

namespace kelvra::mobi {

namespace {

constexpr std::uint32_t kIndexHeaderLength = 192;

/// The fixed part of an INDX record up to the header length.
std::string IndexHeader(std::uint32_t idxtOffset, std::uint32_t count, std::uint32_t totalEntries,
                        std::uint32_t cncxRecords, bool first)
{
    std::string out = "INDX";
    PutU32(out, kIndexHeaderLength);
    PutU32(out, 0);
    PutU32(out, 0); // a normal index
    PutU32(out, first ? 0 : 1);
    PutU32(out, idxtOffset);
    PutU32(out, count);
    PutU32(out, first ? 65001 : kNoIndex); // UTF-8
    PutU32(out, kNoIndex);
    PutU32(out, first ? totalEntries : 0);
    PutU32(out, 0); // no ORDT
    PutU32(out, 0); // no LIGT
    PutU32(out, 0);
    PutU32(out, first ? cncxRecords : 0);
    out.resize(kIndexHeaderLength, '\0');
    return out;
}

} // namespace

std::uint32_t CncxStrings::Add(const std::string& text)
{
    const std::uint32_t offset = static_cast<std::uint32_t>(m_record.size());
    if (offset + text.size() + 8 >= 0x10000)
        throw std::length_error("too much text for one CNCX record");
    PutVarLen(m_record, static_cast<std::uint32_t>(text.size()));
    m_record += text;
    return offset;
}

std::vector<std::string> IndexRecords(const std::vector<IndexTag>& tags, const std::vector<IndexEntry>& entries,
                                      const CncxStrings& strings)
{
    if (tags.size() > 8)
        throw std::invalid_argument("an index with one control byte has at most eight tags");
    std::string tagx = "TAGX";
    PutU32(tagx, static_cast<std::uint32_t>(12 + 4 * (tags.size() + 1)));
    PutU32(tagx, 1); // one control byte
    for (size_t i = 0; i < tags.size(); ++i) {
        tagx += static_cast<char>(tags[i].tag);
        tagx += static_cast<char>(tags[i].valuesPerEntry);
        tagx += static_cast<char>(1u << i);
        tagx += '\0';
    }
    tagx += std::string("\0\0\0\x01", 4);

    std::string header = IndexHeader(0, 1, static_cast<std::uint32_t>(entries.size()), strings.Empty() ? 0 : 1, true);
    header += tagx;
    PadTo4(header);

    std::string body;
    std::vector<std::uint32_t> offsets;
    for (const IndexEntry& entry : entries) {
        offsets.push_back(static_cast<std::uint32_t>(kIndexHeaderLength + body.size()));
        body += static_cast<char>(entry.label.size());
        body += entry.label;
        std::uint8_t control = 0;
        std::string values;
        for (size_t i = 0; i < tags.size(); ++i)
            for (const auto& [tag, tagValues] : entry.values)
                if (tag == tags[i].tag) {
                    control |= static_cast<std::uint8_t>(1u << i);
                    for (const std::uint32_t value : tagValues)
                        PutVarLen(values, value);
                }
        body += static_cast<char>(control);
        body += values;
    }
    PadTo4(body);
    const std::uint32_t idxtOffset = static_cast<std::uint32_t>(kIndexHeaderLength + body.size());
    // Entry offsets are 16-bit numbers.
    if (idxtOffset > 0xFFFF)
        throw std::length_error("too many index entries for one index record");
    std::string data = IndexHeader(idxtOffset, static_cast<std::uint32_t>(entries.size()), 0, 0, false);
    data += body;
    data += "IDXT";
    for (const std::uint32_t offset : offsets)
        PutU16(data, offset);
    PadTo4(data);

    std::vector<std::string> records = {header, data};
    if (!strings.Empty()) {
        std::string cncx = strings.Record();
        PadTo4(cncx);
        records.push_back(cncx);
    }
    return records;
}

} // namespace kelvra::mobi
