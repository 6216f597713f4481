#include "core/size_text.h"

#include <algorithm>

namespace kelvra {

std::string SizeToKBText(std::int64_t sizeInBytes, std::string_view thousandsSeparator)
{
    // Whole kilobytes plus one half, shown without decimals with the half
    // rounded away from zero: q + 1 for q >= 0, q itself below 0. Integer
    // arithmetic keeps every 64-bit size exact.
    const std::int64_t quotient = sizeInBytes / 1024;
    const std::int64_t kilobytes = quotient >= 0 ? quotient + 1 : quotient;

    // Digits of the magnitude, least significant first, via unsigned so that
    // the most negative value has a magnitude too.
    std::uint64_t magnitude = kilobytes < 0 ? 0 - static_cast<std::uint64_t>(kilobytes) : static_cast<std::uint64_t>(kilobytes);
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);

    std::string text = kilobytes < 0 ? "-" : "";
    for (std::size_t i = digits.size(); i > 0; --i) {
        text += digits[i - 1];
        if (i > 1 && (i - 1) % 3 == 0)
            text += thousandsSeparator;
    }
    return text + " KB";
}

} // namespace kelvra
