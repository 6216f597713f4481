#pragma once

// String rules for paths that every part of both programs relies on: where a
// delimiter is or is not added, what counts as a folder part, a name and an
// extension, and which files count as convertible e-books. Pure functions, no
// file-system access.

#include "platform/path_style.h"

#include <string>
#include <string_view>

namespace kelvra {

/// The one list of accepted input types. ".azw3" stands in it twice; the list is
/// used as a single text for a substring test, so that does no harm.
inline constexpr std::string_view SupportedExtensions = ".azw3;.pdf;.azw3;.rtf;.mobi;.lit;.fb2;.txt";

/// True for the characters that end a folder part in the given style.
bool IsPathDelimiter(char c, PathStyle style = kHostPathStyle);

/// The delimiter that AddTrailingBackslash appends: "\" on Windows, "/" on POSIX.
char FolderDelimiter(PathStyle style = kHostPathStyle);

/// Empty stays empty; a path ending in the folder delimiter is returned as it
/// is; otherwise the delimiter is appended.
std::string AddTrailingBackslash(std::string_view path, PathStyle style = kHostPathStyle);

/// Everything up to and including the last delimiter; empty when there is none.
std::string ExtractFilePath(std::string_view path, PathStyle style = kHostPathStyle);

/// The text after the last delimiter.
std::string ExtractFileName(std::string_view path, PathStyle style = kHostPathStyle);

/// The text from the last "." to the end, dot included, when no delimiter
/// follows that dot; otherwise empty.
std::string ExtractFileExt(std::string_view path, PathStyle style = kHostPathStyle);

/// ExtractFileName with its extension cut off: "my.book.pdf" gives "my.book",
/// ".azw3" gives "".
std::string FileNameWithoutExt(std::string_view path, PathStyle style = kHostPathStyle);

/// Lower-cases A to Z only, then strips every leading and trailing character
/// whose code is 32 or less.
std::string LowerTrim(std::string_view text);

/// Substring test of the lower-cased, trimmed extension against `list`.
/// An empty extension never passes. Partial extensions such as ".az" pass:
/// the test is a substring test, not a comparison with the list's items.
bool ExtensionInList(std::string_view path, std::string_view list, PathStyle style = kHostPathStyle);

/// ExtensionInList against SupportedExtensions.
bool IsSupportedBookFile(std::string_view path, PathStyle style = kHostPathStyle);

} // namespace kelvra
