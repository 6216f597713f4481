// Helper of run_bench.sh, built by it:
//   bench_tool inputs DIR        writes the benchmark's inputs into DIR, each with
//                                a NAME.words file holding the text a reader sees
//   bench_tool share WORDS EPUB  prints the share (in %) of the words in WORDS
//                                that the EPUB's text holds, counting repeats
//   bench_tool toc EPUB          prints the number of entries in the EPUB's
//                                navigation document (or NCX when it has none)
// Standalone on purpose: it must also judge EPUBs that other converters write.

#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------------ inputs

/// A fixed pseudo-random sequence, so every run measures the same books.
class Words {
public:
    std::string Next()
    {
        static const char* kWords[] = {
            "river", "stone", "quiet", "lantern", "harbour", "winter", "garden", "letter", "window", "morning",
            "silver", "journey", "village", "mountain", "shadow", "candle", "forest", "meadow", "bridge", "story",
            "the", "and", "of", "to", "a", "in", "was", "she", "he", "it", "that", "with", "for", "on", "they",
            "walked", "remembered", "opened", "whispered", "carried", "followed", "answered", "waited", "noticed"};
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return kWords[(m_state >> 33) % (sizeof kWords / sizeof *kWords)];
    }
    std::string Sentence(int words)
    {
        std::string text = Next();
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
        for (int i = 1; i < words; ++i)
            text += " " + Next();
        return text + ".";
    }

private:
    std::uint64_t m_state = 42;
};

void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string Wrap(const std::string& text, size_t width)
{
    std::string out;
    size_t column = 0;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (column > 0 && column + 1 + word.size() > width) {
            out += '\n';
            column = 0;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

void MakeText(const std::string& dir, const std::string& name, size_t bytes, int chapters)
{
    Words words;
    std::string text = "The Benchmark Book\n\n";
    const size_t perChapter = bytes / static_cast<size_t>(chapters);
    for (int c = 1; c <= chapters; ++c) {
        text += "Chapter " + std::to_string(c) + "\n\n";
        const size_t end = text.size() + perChapter;
        while (text.size() < end) {
            std::string paragraph;
            for (int s = 0; s < 5; ++s)
                paragraph += words.Sentence(8 + s) + " ";
            text += Wrap(paragraph, 72) + "\n\n";
        }
    }
    Write(dir + "/" + name, text);
    Write(dir + "/" + name + ".words", text);
}

const char kPngBase64[] =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR4nGP4z8DwHwAFAAH/iZk9HQAAAABJRU5ErkJggg==";

void MakeFb2(const std::string& dir)
{
    Words words;
    std::string body;
    std::string seen;
    for (int part = 1; part <= 4; ++part) {
        const std::string partTitle = "Part " + std::to_string(part);
        body += "<section><title><p>" + partTitle + "</p></title>\n";
        seen += partTitle + "\n";
        for (int c = 1; c <= 5; ++c) {
            const std::string title = "Chapter " + std::to_string((part - 1) * 5 + c);
            const std::string subtitle = words.Sentence(3);
            body += "<section><title><p>" + title + "</p><p>" + subtitle + "</p></title>\n";
            seen += title + " " + subtitle + "\n";
            if (part == 1 && c == 1) {
                body += "<image l:href=\"#pic.png\" alt=\"A picture\"/>\n";
            }
            for (int p = 0; p < 30; ++p) {
                const std::string a = words.Sentence(10);
                const std::string b = words.Sentence(6);
                const std::string d = words.Sentence(9);
                body += "<p>" + a + " <emphasis>" + b + "</emphasis> <strong>" + d + "</strong></p>\n";
                seen += a + " " + b + " " + d + "\n";
            }
            body += "</section>\n";
        }
        body += "</section>\n";
    }
    const std::string fb2 =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" xmlns:l=\"http://www.w3.org/1999/xlink\">\n"
        "<description><title-info><genre>prose</genre><author><first-name>Bench</first-name><last-name>Writer</last-name>"
        "</author><book-title>The Benchmark Book</book-title><lang>en</lang></title-info></description>\n<body>\n" +
        body + "</body>\n<binary id=\"pic.png\" content-type=\"image/png\">" + kPngBase64 + "</binary>\n</FictionBook>\n";
    Write(dir + "/book.fb2", fb2);
    Write(dir + "/book.fb2.words", seen);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void MakeRtf(const std::string& dir)
{
    Words words;
    // Words that need \uN: accented Latin and Cyrillic.
    const std::vector<std::u32string> special = {U"caf\u00e9", U"na\u00efve", U"\u043a\u043d\u0438\u0433\u0430",
                                                 U"\u0440\u0435\u043a\u0430", U"\u00fcber", U"\u017c\u00f3\u0142w"};
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
                      "{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}{\\info{\\title The Benchmark Book}}\n";
    std::string seen;
    for (int c = 1; c <= 20; ++c) {
        rtf += "\\pard\\s1 Chapter " + std::to_string(c) + "\\par\n\\pard\n";
        seen += "Chapter " + std::to_string(c) + "\n";
        for (int p = 0; p < 25; ++p) {
            for (int s = 0; s < 4; ++s) {
                const std::string sentence = words.Sentence(9);
                rtf += (s == 1 ? "{\\b " + sentence + "}" : sentence) + " ";
                seen += sentence + " ";
                const std::u32string& word = special[static_cast<size_t>(p + s + c) % special.size()];
                for (const char32_t ch : word) {
                    if (ch < 0x80)
                        rtf += static_cast<char>(ch);
                    else
                        rtf += "\\u" + std::to_string(static_cast<int>(ch)) + "?";
                    AppendUtf8(seen, ch);
                }
                rtf += " ";
                seen += " ";
            }
            rtf += "\\par\n";
            seen += "\n";
        }
    }
    rtf += "}\n";
    Write(dir + "/book.rtf", rtf);
    Write(dir + "/book.rtf.words", seen);
}

// ------------------------------------------------------------------ judging

std::vector<std::pair<std::string, std::string>> ReadEpub(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> entries;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            continue;
        std::string content(stat.size, '\0');
        if (zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0)) {
            zip_fread(file, content.data(), stat.size);
            zip_fclose(file);
        }
        entries.emplace_back(stat.name, std::move(content));
    }
    zip_discard(archive);
    return entries;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Decode(std::string text)
{
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#160;", " "}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, character] : kEntities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::char_traits<char>::length(entity), character);
    }
    return text;
}

std::map<std::string, long> CountWords(const std::string& text)
{
    std::map<std::string, long> counts;
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            ++counts[word];
        word.clear();
    };
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || u >= 0x80)
            word += c;
        else if (u >= 'A' && u <= 'Z')
            word += static_cast<char>(u - 'A' + 'a');
        else
            flush();
    }
    flush();
    return counts;
}

std::string EpubText(const std::string& path)
{
    static const std::regex kHead("<head>[\\s\\S]*?</head>");
    static const std::regex kTag("<[^>]*>");
    std::string text;
    for (const auto& [name, content] : ReadEpub(path)) {
        if (!(EndsWith(name, ".xhtml") || EndsWith(name, ".html") || EndsWith(name, ".htm")))
            continue;
        if (content.find("epub:type=\"toc\"") != std::string::npos || name.find("nav") != std::string::npos)
            continue;
        text += Decode(std::regex_replace(std::regex_replace(content, kHead, " "), kTag, " ")) + "\n";
    }
    return text;
}

int Share(const std::string& wordsPath, const std::string& epub)
{
    std::ifstream in(wordsPath, std::ios::binary);
    std::stringstream source;
    source << in.rdbuf();
    const std::map<std::string, long> expected = CountWords(source.str());
    const std::map<std::string, long> found = CountWords(EpubText(epub));
    long total = 0;
    long matched = 0;
    for (const auto& [word, count] : expected) {
        total += count;
        const auto it = found.find(word);
        matched += it == found.end() ? 0 : std::min(count, it->second);
    }
    std::printf("%.2f\n", total == 0 ? 0.0 : 100.0 * static_cast<double>(matched) / static_cast<double>(total));
    return 0;
}

int Toc(const std::string& epub)
{
    long navEntries = -1;
    long ncxEntries = 0;
    for (const auto& [name, content] : ReadEpub(epub)) {
        if (content.find("epub:type=\"toc\"") != std::string::npos) {
            const size_t start = content.find("epub:type=\"toc\"");
            const size_t end = content.find("</nav>", start);
            const std::string nav = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
            navEntries = 0;
            for (size_t at = nav.find("<a "); at != std::string::npos; at = nav.find("<a ", at + 1))
                ++navEntries;
        } else if (EndsWith(name, ".ncx")) {
            for (size_t at = content.find("<navPoint"); at != std::string::npos; at = content.find("<navPoint", at + 1))
                ++ncxEntries;
        }
    }
    std::printf("%ld\n", navEntries >= 0 ? navEntries : ncxEntries);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "inputs" && argc == 3) {
        const std::string dir = argv[2];
        MakeText(dir, "big.txt", 1024 * 1024, 40);
        MakeText(dir, "small.txt", 5 * 1024, 2);
        MakeFb2(dir);
        MakeRtf(dir);
        return 0;
    }
    if (command == "share" && argc == 4)
        return Share(argv[2], argv[3]);
    if (command == "toc" && argc == 3)
        return Toc(argv[2]);
    std::fprintf(stderr, "usage: bench_tool inputs DIR | share WORDS EPUB | toc EPUB\n");
    return 2;
}
