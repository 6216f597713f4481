// libFuzzer target: the round trip of the sample-book writers. The fuzzer's
// bytes become a plain-text book, which is written as MOBI and as AZW3 and
// read back with our reader; every word must come back, in order, and the
// chapters must keep their titles. A difference aborts.

#include "converter/conversion_error.h"
#include "converter/mobi_reader.h"
#include "converter/txt_reader.h"
#include "converter/xml_text.h"
#include "tools/demo_book/mobi_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const kelvra::Book& book)
{
    std::vector<std::string> words;
    for (const kelvra::Chapter& chapter : book.chapters)
        for (const kelvra::Block& block : chapter.blocks) {
            std::istringstream in(kelvra::RunsText(block.runs));
            for (std::string word; in >> word;)
                words.push_back(word);
        }
    return words;
}

std::vector<std::string> Titles(const kelvra::Book& book)
{
    std::vector<std::string> titles;
    for (const kelvra::Chapter& chapter : book.chapters)
        if (!kelvra::CollapseWhitespace(chapter.title).empty())
            titles.push_back(kelvra::CollapseWhitespace(chapter.title));
    return titles;
}

void Check(bool same, const char* what, const char* layout)
{
    if (!same) {
        std::fprintf(stderr, "%s differ after the %s round trip\n", what, layout);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = kelvra::SanitizeUtf8(std::string(reinterpret_cast<const char*>(data), size));
    kelvra::Book book;
    try {
        book = kelvra::BookFromPlainText(text, "Round trip");
    } catch (const kelvra::ConversionError&) {
        return 0; // nothing but white space
    }
    const struct {
        const char* name;
        std::string bytes;
    } layouts[] = {{"MOBI", kelvra::WriteMobiBook(book)}, {"AZW3", kelvra::WriteAzw3Book(book)}};
    for (const auto& layout : layouts) {
        const kelvra::Book back = kelvra::ReadMobiBook(kelvra::SourceFile{"round-trip", "round-trip", layout.bytes});
        Check(Words(back) == Words(book), "words", layout.name);
        if (std::string(layout.name) == "AZW3")
            Check(Titles(back) == Titles(book), "chapter titles", layout.name);
    }
    return 0;
}
