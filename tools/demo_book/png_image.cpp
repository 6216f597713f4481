#include "tools/demo_book/png_image.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace kelvra {

namespace {

void PutU32(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutU32(out, static_cast<std::uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

/// Twice the signed area of the triangle (a, b, p): which side of a-b p lies on.
long Edge(int ax, int ay, int bx, int by, int px, int py)
{
    return static_cast<long>(bx - ax) * (py - ay) - static_cast<long>(by - ay) * (px - ax);
}

} // namespace

Raster::Raster(int width, int height, Rgb background)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)),
      m_pixels(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), background)
{
}

void Raster::Set(int x, int y, Rgb colour)
{
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
        m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] = colour;
}

void Raster::Fill(int left, int top, int width, int height, Rgb colour)
{
    for (int y = std::max(top, 0); y < std::min(top + height, m_height); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, m_width); ++x)
            Set(x, y, colour);
}

void Raster::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, Rgb colour)
{
    const int minX = std::max(std::min({x0, x1, x2}), 0);
    const int maxX = std::min(std::max({x0, x1, x2}), m_width - 1);
    const int minY = std::max(std::min({y0, y1, y2}), 0);
    const int maxY = std::min(std::max({y0, y1, y2}), m_height - 1);
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            const long a = Edge(x0, y0, x1, y1, x, y);
            const long b = Edge(x1, y1, x2, y2, x, y);
            const long c = Edge(x2, y2, x0, y0, x, y);
            if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0))
                Set(x, y, colour);
        }
}

std::string Raster::EncodePng() const
{
    std::string rows;
    rows.reserve(static_cast<size_t>(m_height) * (1 + 3 * static_cast<size_t>(m_width)));
    for (int y = 0; y < m_height; ++y) {
        rows += '\0'; // no filter
        for (int x = 0; x < m_width; ++x) {
            const Rgb& p = m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
            rows += static_cast<char>(p.r);
            rows += static_cast<char>(p.g);
            rows += static_cast<char>(p.b);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
                  static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("cannot compress the picture");
    packed.resize(packedSize);

    std::string header;
    PutU32(header, static_cast<std::uint32_t>(m_width));
    PutU32(header, static_cast<std::uint32_t>(m_height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, deflate, no filter choice, no interlace
    std::string out = "\x89PNG\r\n\x1A\n";
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace kelvra
