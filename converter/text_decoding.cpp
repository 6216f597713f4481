#include "converter/text_decoding.h"

#include "converter/xml_text.h"

#include <cerrno>
#include <iconv.h>
#include <algorithm>
#include <memory>
#include <type_traits>
#include <uchardet.h>

namespace kelvra {

namespace {

/// Distinguishes UTF-16 without a byte-order mark by its zero bytes: text in
/// Latin script has a zero in every other byte.
const char* Utf16ByZeroBytes(std::string_view bytes)
{
    const size_t n = std::min<size_t>(bytes.size(), 4096) & ~size_t{1};
    if (n < 4)
        return nullptr;
    size_t evenZeros = 0;
    size_t oddZeros = 0;
    for (size_t i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    const size_t pairs = n / 2;
    if (oddZeros * 10 >= pairs * 4 && evenZeros * 20 < pairs)
        return "UTF-16LE";
    if (evenZeros * 10 >= pairs * 4 && oddZeros * 20 < pairs)
        return "UTF-16BE";
    return nullptr;
}

std::string GuessWithUchardet(std::string_view bytes)
{
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(), &uchardet_delete);
    if (!detector)
        return {};
    // A sample is enough to tell, and keeps large books quick.
    const size_t sample = std::min<size_t>(bytes.size(), 1 << 20);
    if (uchardet_handle_data(detector.get(), bytes.data(), sample) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    return charset ? std::string(charset) : std::string();
}

} // namespace

Utf8Converter::Utf8Converter(const std::string& encoding)
{
    iconv_t descriptor = iconv_open("UTF-8", encoding.c_str());
    if (descriptor != reinterpret_cast<iconv_t>(-1))
        m_descriptor = descriptor;
}

Utf8Converter::~Utf8Converter()
{
    if (m_descriptor)
        iconv_close(static_cast<iconv_t>(m_descriptor));
}

void Utf8Converter::Append(std::string_view bytes, std::string& out)
{
    if (!m_descriptor)
        return;
    const iconv_t converter = static_cast<iconv_t>(m_descriptor);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[1 << 14];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ: a byte that does not decode; EINVAL: a sequence cut off at the end.
        AppendUtf8(out, 0xFFFD);
        if (errno == EINVAL)
            break;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
}

bool ConvertToUtf8(std::string_view bytes, const std::string& encoding, std::string& out)
{
    Utf8Converter converter(encoding);
    if (!converter.IsValid())
        return false;
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 2);
    converter.Append(bytes, out);
    return true;
}

DecodedText DecodeText(std::string_view bytes)
{
    struct Bom {
        std::string_view mark;
        const char* encoding;
    };
    // UTF-32LE before UTF-16LE: its mark begins with UTF-16LE's.
    static const Bom kBoms[] = {
        {std::string_view("\xEF\xBB\xBF", 3), "UTF-8"},
        {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
        {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
        {std::string_view("\xFF\xFE", 2), "UTF-16LE"},
        {std::string_view("\xFE\xFF", 2), "UTF-16BE"},
    };
    DecodedText decoded;
    for (const Bom& bom : kBoms) {
        if (bytes.substr(0, bom.mark.size()) == bom.mark) {
            decoded.encoding = bom.encoding;
            const std::string_view body = bytes.substr(bom.mark.size());
            if (decoded.encoding == "UTF-8")
                decoded.utf8 = SanitizeUtf8(body);
            else
                ConvertToUtf8(body, decoded.encoding, decoded.utf8);
            return decoded;
        }
    }
    if (const char* utf16 = Utf16ByZeroBytes(bytes)) {
        decoded.encoding = utf16;
        ConvertToUtf8(bytes, decoded.encoding, decoded.utf8);
        return decoded;
    }
    if (IsValidUtf8(bytes)) {
        decoded.encoding = "UTF-8";
        decoded.utf8 = std::string(bytes);
        return decoded;
    }
    decoded.encoding = GuessWithUchardet(bytes);
    if (decoded.encoding.empty() || decoded.encoding == "ASCII" || decoded.encoding == "UTF-8" ||
        !ConvertToUtf8(bytes, decoded.encoding, decoded.utf8)) {
        // Not UTF-8 (checked above) and no usable guess: the most common
        // single-byte code page decodes every byte to something.
        decoded.encoding = "WINDOWS-1252";
        ConvertToUtf8(bytes, decoded.encoding, decoded.utf8);
    }
    return decoded;
}

} // namespace kelvra
