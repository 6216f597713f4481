#pragma once

// The text rules of the conversion file list that do not need a window: the
// order of two column texts, the number a Size text stands for, the name key
// of duplicate removal, and the list file format of Import and Export List.
// Pure functions.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

/// Byte-wise comparison of two column texts: case-sensitive, a text that is a
/// prefix of the other sorts first. -1, 0 or 1.
int CompareColumnTexts(std::string_view a, std::string_view b);

/// The digits of a Size text read as one decimal number, every other
/// character ignored: "1,465 KB" reads 1465. Accumulated in 32-bit arithmetic
/// (wrapping), which no size text the list shows comes near.
std::int32_t SizeTextValue(std::string_view sizeText);

/// The key under which two names count as duplicates: the letters A to Z
/// lower-cased, every other byte kept.
std::string DuplicateNameKey(std::string_view name);

/// The lines of a list file: a line ends at CR LF, CR or LF; a last line
/// without an end counts, an end at the very end adds no empty line.
std::vector<std::string> SplitListFileLines(std::string_view content);

/// The content of a list file: every path followed by CR LF.
std::string JoinListFileLines(const std::vector<std::string>& paths);

} // namespace kelvra
