#pragma once

// Finds the character encoding of a text and converts it to UTF-8: a
// byte-order mark decides first, then well-formed UTF-8 is taken as it is,
// then a UTF-16 pattern of zero bytes, and otherwise uchardet guesses. The
// conversion uses iconv; bytes that do not decode become U+FFFD.

#include <string>
#include <string_view>

namespace kelvra {

struct DecodedText {
    std::string utf8;
    std::string encoding; ///< the encoding the bytes were read in, e.g. "UTF-8", "WINDOWS-1251"
};

/// Never fails: undecodable bytes become U+FFFD, and an unknown guess falls
/// back to windows-1252.
DecodedText DecodeText(std::string_view bytes);

/// Converts pieces of text from one encoding to UTF-8, keeping one iconv
/// descriptor open for all of them. Single thread.
class Utf8Converter {
public:
    explicit Utf8Converter(const std::string& encoding);
    ~Utf8Converter();
    Utf8Converter(const Utf8Converter&) = delete;
    Utf8Converter& operator=(const Utf8Converter&) = delete;

    /// False when iconv does not know the encoding.
    bool IsValid() const { return m_descriptor != nullptr; }

    /// Appends the UTF-8 of `bytes` to `out`; undecodable bytes become U+FFFD.
    void Append(std::string_view bytes, std::string& out);

private:
    void* m_descriptor = nullptr;
};

/// Converts from a named encoding (any name iconv knows) to UTF-8, with
/// undecodable bytes as U+FFFD. Returns false when iconv does not know the
/// name.
bool ConvertToUtf8(std::string_view bytes, const std::string& encoding, std::string& out);

} // namespace kelvra
