#pragma once

// The size text of the file list's Size column.

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvra {

/// Size in whole kilobytes, one more than the complete kilobytes the size
/// holds (0 bytes and 1023 bytes show as "1 KB", 1024 bytes as "2 KB"),
/// digits grouped by thousands with `thousandsSeparator` (the GUI passes the
/// locale's, possibly a multi-byte character; empty groups nothing).
std::string SizeToKBText(std::int64_t sizeInBytes, std::string_view thousandsSeparator);

} // namespace kelvra
