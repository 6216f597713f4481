#include "tools/demo_book/mobi_records.h"

#include <map>

namespace kelvra::mobi {

namespace {

constexpr size_t kPalmDocHeaderLength = 16;

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

std::vector<ExthRecord> ExthRecords(const Metadata& metadata, long coverIndex, int fileVersion)
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
    if (fileVersion >= 8)
        records.push_back({125, NumberBytes(0)}); // resources beyond the images: none
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

void SetU32(std::string& out, size_t at, std::uint32_t value)
{
    out.replace(at, 4, NumberBytes(value));
}

} // namespace

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

void PutVarLen(std::string& out, std::uint32_t value)
{
    std::string bytes(1, static_cast<char>(0x80 | (value & 0x7F)));
    for (value >>= 7; value != 0; value >>= 7)
        bytes.insert(bytes.begin(), static_cast<char>(value & 0x7F));
    out += bytes;
}

void PadTo4(std::string& out)
{
    while (out.size() % 4 != 0)
        out += '\0';
}

std::string RecordZero(const Metadata& metadata, long coverIndex, const RecordZeroLayout& layout)
{
    const bool kf8 = layout.fileVersion >= 8;
    const size_t mobiHeaderLength = kf8 ? 264 : 232;
    std::string out = PalmDocHeader(layout.textLength, layout.textRecords, layout.markEncrypted);

    out += "MOBI";
    PutU32(out, static_cast<std::uint32_t>(mobiHeaderLength));
    PutU32(out, 2);     // a book
    PutU32(out, 65001); // UTF-8
    PutU32(out, 0x4B4C5652);
    PutU32(out, static_cast<std::uint32_t>(layout.fileVersion));
    for (int i = 0; i < 10; ++i)
        PutU32(out, kNoIndex); // orthographic, inflection, names, keys and extra indexes
    PutU32(out, static_cast<std::uint32_t>(layout.textRecords + 1)); // first record after the text
    const size_t fullNameOffsetAt = out.size();
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(metadata.title.size()));
    PutU32(out, LocaleNumber(metadata.language));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(layout.fileVersion)); // minimum reader version
    PutU32(out, layout.firstImage);
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
    if (kf8) {
        PutU32(out, layout.fdstIndex);
    } else {
        PutU16(out, 1);
        PutU16(out, layout.lastContent);
    }
    PutU32(out, 1);        // one flow
    PutU32(out, kNoIndex); // FCIS
    PutU32(out, 0);
    PutU32(out, kNoIndex); // FLIS
    PutU32(out, 0);
    out.append(8, '\0');
    PutU32(out, kNoIndex); // no sources
    PutU32(out, 0);
    PutU32(out, kNoIndex);
    PutU32(out, kNoIndex);
    PutU32(out, 0); // no trailing entries after the text records
    PutU32(out, layout.ncxIndex);
    PutU32(out, kf8 ? layout.fragmentIndex : kNoIndex);
    PutU32(out, kf8 ? layout.skeletonIndex : kNoIndex);
    PutU32(out, kNoIndex); // no DATP
    PutU32(out, kNoIndex); // no guide
    out.resize(kPalmDocHeaderLength + mobiHeaderLength, '\xFF');

    out += ExthBlock(ExthRecords(metadata, coverIndex, layout.fileVersion));
    SetU32(out, fullNameOffsetAt, static_cast<std::uint32_t>(out.size()));
    out += metadata.title;
    out.append(2, '\0');
    PadTo4(out);
    return out;
}

std::string PalmDocHeader(size_t textLength, size_t textRecords, bool markEncrypted)
{
    std::string out;
    PutU16(out, 1); // no compression
    PutU16(out, 0);
    PutU32(out, static_cast<std::uint32_t>(textLength));
    PutU16(out, static_cast<std::uint32_t>(textRecords));
    PutU16(out, kTextRecordSize);
    PutU16(out, markEncrypted ? 2 : 0);
    PutU16(out, 0);
    return out;
}

std::string PalmDatabase(const std::string& name, const std::vector<std::string>& records, const char* typeAndCreator)
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
    out += std::string(typeAndCreator, 8);
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

std::vector<std::string> TextRecords(const std::string& text)
{
    std::vector<std::string> records;
    for (size_t at = 0; at < text.size(); at += kTextRecordSize)
        records.push_back(text.substr(at, kTextRecordSize));
    return records;
}

std::string EndOfFileRecord()
{
    return std::string("\xE9\x8E\x0D\x0A", 4);
}

} // namespace kelvra::mobi
