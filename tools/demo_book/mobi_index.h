#pragma once

// Writes the INDX records of a MOBI or AZW3 file: a header record with the
// tag table (TAGX), one data record with the entries and their offsets
// (IDXT), and, where entries refer to text, a CNCX record with the strings.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelvra::mobi {

struct IndexTag {
    std::uint8_t tag;
    std::uint8_t valuesPerEntry;
};

struct IndexEntry {
    std::string label;
    /// Values by tag; a tag of the table that an entry lacks is left out of it.
    std::vector<std::pair<std::uint8_t, std::vector<std::uint32_t>>> values;
};

/// Collects the strings of a CNCX record and hands out their offsets.
class CncxStrings {
public:
    std::uint32_t Add(const std::string& text);
    const std::string& Record() const { return m_record; }
    bool Empty() const { return m_record.empty(); }

private:
    std::string m_record;
};

/// The header record, the data record and, when `strings` holds any, the
/// CNCX record, in this order. At most eight tags.
std::vector<std::string> IndexRecords(const std::vector<IndexTag>& tags, const std::vector<IndexEntry>& entries,
                                      const CncxStrings& strings);

} // namespace kelvra::mobi
