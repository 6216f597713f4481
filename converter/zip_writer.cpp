#include "converter/zip_writer.h"

#include "converter/conversion_error.h"
#include "converter/parallel_for.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

namespace kelvra {

namespace {

/// An entry's data as it goes into the archive.
struct EntryData {
    std::string deflated; ///< empty when the entry is stored
    bool stored = true;
    std::uint32_t crc = 0;
};

/// Raw deflate (no zlib header, as ZIP wants it) at level 1, which deflates
/// text almost as well as the default level at a fraction of the time.
std::string Deflate(const std::string& content)
{
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw ConversionError("not enough memory to compress the EPUB");
    std::string out(deflateBound(&stream, static_cast<uLong>(content.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    stream.avail_in = static_cast<uInt>(content.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw ConversionError("cannot compress the EPUB (zlib error " + std::to_string(result) + ")");
    return out;
}

EntryData PrepareEntry(const PackageEntry& entry)
{
    EntryData data;
    data.crc = static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(entry.content.data()), entry.content.size()));
    if (entry.compress && !entry.content.empty()) {
        std::string deflated = Deflate(entry.content);
        // Data that does not shrink (pictures, mostly) is stored as it is.
        if (deflated.size() < entry.content.size()) {
            data.deflated = std::move(deflated);
            data.stored = false;
        }
    }
    return data;
}

/// Checksums and deflates every entry, the large ones spread over a few
/// threads; an exception on any thread is thrown here.
std::vector<EntryData> PrepareEntries(const std::vector<PackageEntry>& entries)
{
    std::vector<EntryData> prepared(entries.size());
    size_t totalBytes = 0;
    for (const PackageEntry& entry : entries)
        totalBytes += entry.content.size();
    ParallelFor(entries.size(), ThreadsForBytes(totalBytes),
                [&](size_t i) { prepared[i] = PrepareEntry(entries[i]); });
    return prepared;
}

/// The current local time in the MS-DOS form ZIP keeps: time in the low half,
/// date in the high half.
std::uint32_t DosTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local) || local.tm_year < 80)
        return (1u << 5 | 1u) << 16; // 1980-01-01 00:00
    const auto time = static_cast<std::uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    const auto date = static_cast<std::uint32_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    return date << 16 | time;
}

bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void Put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

/// The fields that the local header and the central directory share, from
/// "version needed" to "extra field length".
std::string CommonHeader(const PackageEntry& entry, const EntryData& data, std::uint32_t dosTime)
{
    const size_t written = data.stored ? entry.content.size() : data.deflated.size();
    std::string out;
    Put16(out, data.stored ? 10 : 20);         // version needed: 1.0 to store, 2.0 to inflate
    Put16(out, IsAscii(entry.name) ? 0 : 0x0800); // flag: the name is UTF-8
    Put16(out, data.stored ? 0 : 8);
    Put32(out, dosTime);
    Put32(out, data.crc);
    Put32(out, static_cast<std::uint32_t>(written));
    Put32(out, static_cast<std::uint32_t>(entry.content.size()));
    Put16(out, static_cast<std::uint32_t>(entry.name.size()));
    Put16(out, 0);
    return out;
}

/// Refuses what the classic ZIP format cannot hold, judged before deflating
/// from the sizes as they are (an entry is never written larger).
void CheckLimits(const std::vector<PackageEntry>& entries)
{
    if (entries.size() >= 0xFFFF)
        throw ConversionError("the book has too many files for an EPUB (" + std::to_string(entries.size()) + ")");
    std::uint64_t total = 0;
    for (const PackageEntry& entry : entries) {
        if (entry.name.size() >= 0xFFFF)
            throw ConversionError("a file name in the EPUB is too long");
        total += 30 + 46 + 2 * entry.name.size() + entry.content.size();
    }
    if (total >= std::numeric_limits<std::uint32_t>::max())
        throw ConversionError("the EPUB would be larger than 4 GB");
}

class ArchiveFile {
public:
    explicit ArchiveFile(const std::string& path) : m_path(path), m_file(std::fopen(path.c_str(), "wb"))
    {
        if (!m_file)
            throw ConversionError("cannot create " + path + ": " + std::strerror(errno));
    }

    ~ArchiveFile()
    {
        if (m_file)
            std::fclose(m_file);
    }

    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    void Write(const std::string& bytes)
    {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
            Fail();
        m_offset += bytes.size();
    }

    std::uint32_t Offset() const { return static_cast<std::uint32_t>(m_offset); }

    void Close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        if (std::fclose(file) != 0)
            Fail();
    }

private:
    [[noreturn]] void Fail() const { throw ConversionError("cannot write " + m_path + ": " + std::strerror(errno)); }

    std::string m_path;
    std::FILE* m_file;
    std::uint64_t m_offset = 0;
};

} // namespace

void WriteZipArchive(const std::vector<PackageEntry>& entries, const std::string& path)
{
    CheckLimits(entries);
    const std::vector<EntryData> prepared = PrepareEntries(entries);
    const std::uint32_t dosTime = DosTimestamp();

    ArchiveFile file(path);
    std::string directory;
    for (size_t i = 0; i < entries.size(); ++i) {
        const PackageEntry& entry = entries[i];
        const EntryData& data = prepared[i];
        const std::string common = CommonHeader(entry, data, dosTime);

        Put32(directory, 0x02014b50);
        Put16(directory, 3 << 8 | 20); // made by: Unix, ZIP 2.0, so that the file mode below counts
        directory += common;
        Put16(directory, 0);               // comment length
        Put16(directory, 0);               // disk number
        Put16(directory, 0);               // internal attributes
        Put32(directory, 0100644u << 16); // a regular file, rw-r--r--
        Put32(directory, file.Offset());
        directory += entry.name;

        std::string local;
        Put32(local, 0x04034b50);
        local += common;
        local += entry.name;
        file.Write(local);
        file.Write(data.stored ? entry.content : data.deflated);
    }
    const std::uint32_t directoryOffset = file.Offset();
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, 0); // this disk
    Put16(end, 0); // the directory's disk
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put32(end, static_cast<std::uint32_t>(directory.size()));
    Put32(end, directoryOffset);
    Put16(end, 0); // comment length
    file.Write(directory);
    file.Write(end);
    file.Close();
}

} // namespace kelvra
