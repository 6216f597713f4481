#pragma once

// A small RGB raster and its PNG encoding (zlib does the compression), for
// the pictures of the sample book, which are drawn in code.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvra {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

class Raster {
public:
    Raster(int width, int height, Rgb background);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    /// Fills the rectangle, clipped to the raster.
    void Fill(int left, int top, int width, int height, Rgb colour);
    /// Fills the triangle with the given corners, clipped to the raster.
    void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, Rgb colour);

    std::string EncodePng() const;

private:
    void Set(int x, int y, Rgb colour);

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

} // namespace kelvra
