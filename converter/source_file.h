#pragma once

// The input of one conversion: its path, the name the book is titled after
// when the input names no title, and its bytes, read whole.

#include <cstdint>
#include <string>

namespace kelvra {

/// Inputs above this size are refused rather than read into memory.
inline constexpr std::uint64_t kMaxInputBytes = 512ull * 1024 * 1024;

struct SourceFile {
    std::string path;
    std::string baseName; ///< file name without folder and extension
    std::string bytes;
};

/// Reads the file at `path`. Throws ConversionError with a one-line reason
/// when it is missing, not a regular file, unreadable, empty or too large.
SourceFile LoadSourceFile(const std::string& path);

} // namespace kelvra
