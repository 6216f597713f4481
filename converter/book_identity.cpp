#include "converter/book_identity.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace kelvra {

namespace {

struct Fnv128 {
    std::uint64_t a = 0xcbf29ce484222325ull;
    std::uint64_t b = 0x84222325cbf29ce4ull;
    void Add(std::string_view text)
    {
        for (const char c : text) {
            a = (a ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
            b = (b ^ static_cast<unsigned char>(c)) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
        }
        a = (a ^ 0xff) * 0x100000001b3ull; // separator between fields
        b = (b ^ 0xfe) * 0x100000001b3ull;
    }
};

/// Decodes the next code point of valid UTF-8 (the text has been sanitised).
char32_t NextCodePoint(std::string_view text, size_t& i)
{
    const unsigned char lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t cp = lead & (0x3F >> extra);
    while (extra-- > 0 && i < text.size())
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    return cp;
}

std::string LatinLanguage(std::string_view text)
{
    static const std::array<std::pair<const char*, std::array<const char*, 8>>, 7> kWords = {{
        {"en", {"the", "and", "of", "to", "is", "that", "with", "was"}},
        {"de", {"der", "die", "und", "das", "nicht", "ist", "ich", "mit"}},
        {"fr", {"le", "la", "les", "et", "est", "une", "dans", "que"}},
        {"es", {"el", "los", "las", "y", "que", "una", "por", "con"}},
        {"it", {"il", "che", "di", "una", "non", "della", "per", "sono"}},
        {"pt", {"os", "que", "uma", "não", "com", "por", "mais", "foi"}},
        {"nl", {"de", "het", "een", "en", "van", "niet", "zijn", "dat"}},
    }};
    std::unordered_map<std::string, int> counts;
    std::string word;
    size_t words = 0;
    const auto flush = [&] {
        if (!word.empty()) {
            ++counts[word];
            ++words;
            word.clear();
        }
    };
    for (const char c : text) {
        if (words > 20000)
            break;
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u >= 'a' && u <= 'z'))
            word += c;
        else if (u >= 'A' && u <= 'Z')
            word += static_cast<char>(u - 'A' + 'a');
        else
            flush();
    }
    flush();
    std::string best = "en";
    int bestScore = 0;
    for (const auto& [tag, list] : kWords) {
        int score = 0;
        for (const char* w : list) {
            const auto it = counts.find(w);
            if (it != counts.end())
                score += it->second;
        }
        if (score > bestScore) {
            bestScore = score;
            best = tag;
        }
    }
    return best;
}

} // namespace

std::string StableIdentifier(const Book& book)
{
    Fnv128 hash;
    hash.Add(book.metadata.title);
    for (const std::string& author : book.metadata.authors)
        hash.Add(author);
    for (const Chapter& chapter : book.chapters) {
        hash.Add(chapter.title);
        for (const Block& block : chapter.blocks)
            for (const InlineRun& run : block.runs)
                hash.Add(run.text);
    }
    for (const Image& image : book.images)
        hash.Add(image.data);
    // Shaped as a version 4 / variant 1 UUID so that strict tools accept it.
    const std::uint64_t hi = (hash.a & 0xffffffffffff0fffull) | 0x0000000000004000ull;
    const std::uint64_t lo = (hash.b & 0x3fffffffffffffffull) | 0x8000000000000000ull;
    char text[64];
    std::snprintf(text, sizeof text, "urn:uuid:%08x-%04x-%04x-%04x-%012llx",
                  static_cast<unsigned>(hi >> 32), static_cast<unsigned>((hi >> 16) & 0xffff),
                  static_cast<unsigned>(hi & 0xffff), static_cast<unsigned>(lo >> 48),
                  static_cast<unsigned long long>(lo & 0xffffffffffffull));
    return text;
}

bool IsLanguageTag(std::string_view tag)
{
    size_t start = 0;
    bool first = true;
    while (start <= tag.size()) {
        size_t end = tag.find('-', start);
        if (end == std::string_view::npos)
            end = tag.size();
        const std::string_view part = tag.substr(start, end - start);
        if (part.empty() || part.size() > 8 || (first && part.size() < 2))
            return false;
        for (const char c : part) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const bool digit = c >= '0' && c <= '9';
            if (!(letter || (!first && digit)))
                return false;
        }
        first = false;
        start = end + 1;
    }
    return !tag.empty();
}

std::string GuessLanguage(std::string_view text)
{
    enum Script { Latin, Cyrillic, Greek, Arabic, Hebrew, Kana, Han, Hangul, Count };
    std::array<size_t, Count> letters{};
    size_t seen = 0;
    for (size_t i = 0; i < text.size() && seen < 200000;) {
        const char32_t cp = NextCodePoint(text, i);
        ++seen;
        if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || (cp >= 0xC0 && cp <= 0x24F))
            ++letters[Latin];
        else if (cp >= 0x400 && cp <= 0x4FF)
            ++letters[Cyrillic];
        else if (cp >= 0x370 && cp <= 0x3FF)
            ++letters[Greek];
        else if (cp >= 0x600 && cp <= 0x6FF)
            ++letters[Arabic];
        else if (cp >= 0x590 && cp <= 0x5FF)
            ++letters[Hebrew];
        else if (cp >= 0x3040 && cp <= 0x30FF)
            ++letters[Kana];
        else if (cp >= 0x4E00 && cp <= 0x9FFF)
            ++letters[Han];
        else if (cp >= 0xAC00 && cp <= 0xD7AF)
            ++letters[Hangul];
    }
    // Japanese mixes kana into Han text; a modest share of kana decides it.
    if (letters[Kana] > 0 && letters[Kana] * 10 >= letters[Han])
        letters[Han] = 0;
    size_t best = Latin;
    for (size_t s = 0; s < Count; ++s)
        if (letters[s] > letters[best])
            best = s;
    switch (best) {
    case Cyrillic: return "ru";
    case Greek: return "el";
    case Arabic: return "ar";
    case Hebrew: return "he";
    case Kana: return "ja";
    case Han: return "zh";
    case Hangul: return "ko";
    default: return LatinLanguage(text);
    }
}

} // namespace kelvra
