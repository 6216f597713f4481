#include "converter/base64.h"

#include <array>

namespace kelvra {

std::string DecodeBase64(std::string_view text)
{
    static const std::array<signed char, 256> kValues = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            values[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        return values;
    }();
    std::string out;
    out.reserve(text.size() * 3 / 4);
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=')
            break;
        const int value = kValues[static_cast<unsigned char>(c)];
        if (value < 0)
            continue;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

} // namespace kelvra
