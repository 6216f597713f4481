#include "converter/epub_probe.h"

#include <cstdint>
#include <fstream>
#include <string_view>

namespace kelvra {

namespace {

std::uint32_t Read16(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0] | at[1] << 8);
}

std::uint32_t Read32(const unsigned char* at)
{
    return Read16(at) | Read16(at + 2) << 16;
}

} // namespace

bool LooksLikeEpub(const std::string& path)
{
    // The first local file header: signature, then method at 8, sizes at 18
    // and 22, name and extra field lengths at 26 and 28, the name at 30.
    constexpr std::string_view kMimetype = "mimetype";
    constexpr std::string_view kMediaType = "application/epub+zip";
    constexpr size_t kHeaderSize = 30;
    unsigned char head[kHeaderSize + kMimetype.size()];
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(head), sizeof head))
        return false;
    const std::uint32_t nameLength = Read16(head + 26);
    if (Read32(head) != 0x04034b50 || Read16(head + 8) != 0 || nameLength != kMimetype.size() ||
        std::string_view(reinterpret_cast<const char*>(head + kHeaderSize), nameLength) != kMimetype)
        return false;
    // A writer that streams may leave the sizes to a descriptor after the data.
    const bool sizesLater = (Read16(head + 6) & 0x0008) != 0 && Read32(head + 18) == 0;
    if (!sizesLater && Read32(head + 18) != kMediaType.size())
        return false;
    file.seekg(Read16(head + 28), std::ios::cur);
    char content[kMediaType.size()];
    return file.read(content, sizeof content) && std::string_view(content, sizeof content) == kMediaType;
}

} // namespace kelvra
