#pragma once

// The web addresses a book may link to: http, https and ftp addresses with a
// sound host name, and mailto addresses, escaped for an href attribute.

#include <string>

namespace kelvra {

/// The address ready for an href, or empty when it is not a sound http,
/// https, ftp or mailto address (such links keep only their text).
std::string SafeWebAddress(const std::string& link);

} // namespace kelvra
