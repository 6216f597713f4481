#pragma once

// Text to integer conversion with the rules users of the console program and
// the option values rely on.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvra {

/// Raised when a text is not a valid number.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Converts `text` to a signed 32-bit integer: leading blanks are skipped,
/// then an optional "+" or "-", then decimal digits, or hexadecimal digits
/// after "$", "0x" or "x" (either letter case). Nothing may follow the digits
/// and the value must lie in the signed 32-bit range. Nothing when the text
/// does not convert (the empty text included).
std::optional<std::int32_t> TryStrToInt(std::string_view text);

/// TryStrToInt, raising ConvertError("'<text>' is not a valid integer value")
/// when the text does not convert.
std::int32_t StrToInt(std::string_view text);

} // namespace kelvra
