#pragma once

// Tells the type of an input by its content, whatever its extension says.

#include <string_view>

namespace kelvra {

enum class BookFormat {
    Text,
    Rtf,
    Fb2,
    Pdf,
    Mobi, ///< MOBI and AZW3 (KF8) share one container
    Lit,
    Zip,  ///< an EPUB, a zipped FB2 or any other ZIP archive
    Unknown,
};

BookFormat SniffFormat(std::string_view bytes);

/// "plain text", "RTF", "FB2", "PDF", "MOBI/AZW3", "LIT", "ZIP", "unknown".
const char* FormatName(BookFormat format);

} // namespace kelvra
