#include "converter/chapter_headings.h"

#include <array>
#include <string>

namespace kelvra {

namespace {

constexpr size_t kMaxHeadingBytes = 100;

/// Lower case for ASCII, Latin-1 letters and basic Cyrillic, enough for the
/// keywords below.
std::string LowerCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < text.size()) {
            // U+00C0..U+00DE (not U+00D7) lower-case by adding 0x20.
            unsigned char next = static_cast<unsigned char>(text[++i]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                next += 0x20;
            out += static_cast<char>(c);
            out += static_cast<char>(next);
        } else if (c == 0xD0 && i + 1 < text.size()) {
            // U+0410..U+042F lower-case to U+0430..U+044F.
            const unsigned char next = static_cast<unsigned char>(text[++i]);
            if (next >= 0x90 && next <= 0x9F) {
                out += static_cast<char>(0xD0);
                out += static_cast<char>(next + 0x20);
            } else if (next >= 0xA0 && next <= 0xAF) {
                out += static_cast<char>(0xD1);
                out += static_cast<char>(next - 0x20);
            } else {
                out += static_cast<char>(c);
                out += static_cast<char>(next);
            }
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsRomanNumeral(std::string_view word)
{
    if (word.empty() || word.size() > 12)
        return false;
    for (const char c : word)
        if (std::string_view("ivxlcdm").find(c) == std::string_view::npos)
            return false;
    return true;
}

bool IsNumberWord(std::string_view word)
{
    static const std::array<std::string_view, 48> kWords = {
        "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten", "eleven", "twelve",
        "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen", "twenty", "thirty",
        "forty", "fifty", "sixty", "seventy", "eighty", "ninety", "hundred", "first", "second", "third", "fourth",
        "fifth", "sixth", "seventh", "eighth", "ninth", "tenth", "eleventh", "twelfth", "last", "final", "zero",
        "thirteenth", "fourteenth", "fifteenth", "twentieth", "thirtieth"};
    // "twenty-one", "twenty one" and "one hundred" are read one word at a time.
    size_t start = 0;
    while (start < word.size()) {
        size_t end = word.find('-', start);
        if (end == std::string_view::npos)
            end = word.size();
        const std::string_view part = word.substr(start, end - start);
        bool known = false;
        for (const std::string_view w : kWords)
            known = known || part == w;
        if (!known)
            return false;
        start = end + 1;
    }
    return !word.empty();
}

bool IsNumberToken(std::string_view word)
{
    if (word.empty())
        return false;
    bool digits = word.size() <= 4;
    for (const char c : word)
        digits = digits && c >= '0' && c <= '9';
    return digits || IsRomanNumeral(word) || IsNumberWord(word);
}

/// What may follow "Chapter 12": nothing, a separator and a title, or a blank and a title.
bool IsHeadingTail(std::string_view rest)
{
    rest = Trim(rest);
    if (rest.empty())
        return true;
    const unsigned char first = static_cast<unsigned char>(rest.front());
    if (std::string_view(".:)-").find(rest.front()) != std::string_view::npos)
        return true;
    if (rest.substr(0, 3) == "\xE2\x80\x94" || rest.substr(0, 3) == "\xE2\x80\x93") // em and en dash
        return true;
    // A title straight after the number must not read on as a sentence.
    return first >= 'A' && first <= 'Z';
}

} // namespace

std::optional<HeadingRank> ChapterHeadingRank(std::string_view rawLine)
{
    const std::string_view line = Trim(rawLine);
    if (line.empty() || line.size() > kMaxHeadingBytes)
        return std::nullopt;
    const std::string lower = LowerCase(line);

    struct Keyword {
        std::string_view word;
        HeadingRank rank;
        bool needsNumber;
    };
    static const Keyword kKeywords[] = {
        {"chapter", HeadingRank::Chapter, true},   {"chap.", HeadingRank::Chapter, true},
        {"chapitre", HeadingRank::Chapter, true},  {"kapitel", HeadingRank::Chapter, true},
        {"cap\xC3\xADtulo", HeadingRank::Chapter, true}, {"capitolo", HeadingRank::Chapter, true},
        {"\xD0\xB3\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0", HeadingRank::Chapter, true}, // глава
        {"part", HeadingRank::Part, true},         {"book", HeadingRank::Part, true},
        {"volume", HeadingRank::Part, true},       {"partie", HeadingRank::Part, true},
        {"teil", HeadingRank::Part, true},         {"parte", HeadingRank::Part, true},
        {"\xD1\x87\xD0\xB0\xD1\x81\xD1\x82\xD1\x8C", HeadingRank::Part, true}, // часть
        {"prologue", HeadingRank::Chapter, false}, {"epilogue", HeadingRank::Chapter, false},
        {"preface", HeadingRank::Chapter, false},  {"foreword", HeadingRank::Chapter, false},
        {"afterword", HeadingRank::Chapter, false}, {"introduction", HeadingRank::Chapter, false},
        {"prolog", HeadingRank::Chapter, false},   {"epilog", HeadingRank::Chapter, false},
    };
    for (const Keyword& keyword : kKeywords) {
        if (lower.compare(0, keyword.word.size(), keyword.word) != 0)
            continue;
        std::string_view rest = std::string_view(lower).substr(keyword.word.size());
        if (!keyword.needsNumber) {
            // "Prologue", "Prologue: The Storm", "EPILOGUE." but not "Prologues" or "Prologue of".
            const std::string_view tail = Trim(rest);
            if (tail.empty() || std::string_view(".:-").find(tail.front()) != std::string_view::npos)
                return keyword.rank;
            continue;
        }
        if (rest.empty() || (rest.front() != ' ' && rest.front() != '\t'))
            continue;
        rest = Trim(rest);
        // The number token ends at a blank or a separator.
        size_t end = 0;
        while (end < rest.size() && std::string_view(" \t.:)").find(rest[end]) == std::string_view::npos &&
               rest.substr(end, 3) != "\xE2\x80\x94" && rest.substr(end, 3) != "\xE2\x80\x93")
            ++end;
        std::string_view number = rest.substr(0, end);
        if (number.size() > 1 && number.back() == '-')
            number.remove_suffix(1);
        if (!IsNumberToken(number))
            continue;
        // Judge the tail on the original letter case (lower-casing keeps byte
        // offsets): a capital starts a title.
        const size_t offsetInOriginal = line.size() - rest.size() + end;
        if (IsHeadingTail(line.substr(offsetInOriginal)))
            return keyword.rank;
    }
    return std::nullopt;
}

bool IsSceneBreak(std::string_view rawLine)
{
    const std::string_view line = Trim(rawLine);
    if (line.empty())
        return false;
    size_t marks = 0;
    for (const char c : line) {
        if (c == ' ' || c == '\t')
            continue;
        if (std::string_view("*#~-=_").find(c) == std::string_view::npos)
            return false;
        ++marks;
    }
    return marks >= 3 || line == "*" || line == "#";
}

} // namespace kelvra
