#include "converter/format_sniffer.h"

namespace kelvra {

namespace {

std::string_view SkipBomAndBlanks(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t' || bytes.front() == '\r' || bytes.front() == '\n'))
        bytes.remove_prefix(1);
    return bytes;
}

bool LooksLikeFictionBook(std::string_view start)
{
    // The root element comes after the XML declaration, comments or a
    // doctype; a few kilobytes hold it in every real file.
    const std::string_view head = start.substr(0, 4096);
    if (head.empty() || head.front() != '<')
        return false;
    return head.find("<FictionBook") != std::string_view::npos;
}

bool LooksLikeText(std::string_view bytes)
{
    const std::string_view sample = bytes.substr(0, 1 << 16);
    if (sample.substr(0, 2) == "\xFF\xFE" || sample.substr(0, 2) == "\xFE\xFF")
        return true;
    size_t zeros = 0;
    size_t controls = 0;
    for (const char c : sample) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == 0)
            ++zeros;
        else if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != 0x1A && u != 0x1B)
            ++controls;
    }
    // A few stray control characters do not make a text binary; zero bytes
    // do, except in UTF-16 text without a byte-order mark, where about every
    // other byte is zero.
    const bool fewControls = controls * 20 <= sample.size();
    if (zeros * 10 >= sample.size() * 4 && zeros * 10 <= sample.size() * 6)
        return fewControls;
    return zeros == 0 && fewControls;
}

} // namespace

BookFormat SniffFormat(std::string_view bytes)
{
    if (bytes.size() >= 68 && (bytes.substr(60, 8) == "BOOKMOBI" || bytes.substr(60, 8) == "TEXtREAd"))
        return BookFormat::Mobi;
    if (bytes.substr(0, 8) == "ITOLITLS")
        return BookFormat::Lit;
    if (bytes.substr(0, 4) == "PK\x03\x04")
        return BookFormat::Zip;
    // Some writers put a few bytes before the PDF header; a text that merely
    // mentions it stays a text.
    const size_t pdfHeader = bytes.substr(0, 1024).find("%PDF-");
    if (pdfHeader == 0 || (pdfHeader != std::string_view::npos && !LooksLikeText(bytes)))
        return BookFormat::Pdf;
    const std::string_view start = SkipBomAndBlanks(bytes);
    if (start.substr(0, 5) == "{\\rtf")
        return BookFormat::Rtf;
    if (LooksLikeFictionBook(start))
        return BookFormat::Fb2;
    if (LooksLikeText(bytes))
        return BookFormat::Text;
    return BookFormat::Unknown;
}

const char* FormatName(BookFormat format)
{
    switch (format) {
    case BookFormat::Text: return "plain text";
    case BookFormat::Rtf: return "RTF";
    case BookFormat::Fb2: return "FB2";
    case BookFormat::Pdf: return "PDF";
    case BookFormat::Mobi: return "MOBI/AZW3";
    case BookFormat::Lit: return "LIT";
    case BookFormat::Zip: return "ZIP";
    case BookFormat::Unknown: return "unknown";
    }
    return "unknown";
}

} // namespace kelvra
