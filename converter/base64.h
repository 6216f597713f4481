#pragma once

#include <string>
#include <string_view>

namespace kelvra {

/// Decodes base64, skipping white space and any other character outside the
/// alphabet; stops at the first "=". Never fails: damaged input gives
/// damaged bytes, which the image check later drops.
std::string DecodeBase64(std::string_view text);

} // namespace kelvra
