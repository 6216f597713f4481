// libFuzzer target: our mapping of libmobi's output alone, fed with HTML
// parts, an NCX and image resources cut from the fuzzer's bytes, so that
// the fuzzer reaches the mapping without first having to build a valid
// MOBI file. Layout of the input: pieces separated by the byte 0xFF; the
// first piece is the NCX, each further piece an HTML part; pieces that
// begin with "\x89PNG" are image resources instead.

#include "converter/mobi_mapping.h"
#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <string_view>

namespace {

kelvra::Book MapPieces(const kelvra::SourceFile& source)
{
    kelvra::MobiContent content;
    content.metadata.title = "fuzz";
    std::string_view rest = source.bytes;
    bool first = true;
    while (true) {
        const size_t cut = rest.find('\xFF');
        const std::string_view piece = rest.substr(0, cut);
        if (first) {
            content.ncx = std::string(piece);
            first = false;
        } else if (piece.substr(0, 4) == "\x89PNG") {
            content.images.push_back(kelvra::MobiResource{content.images.size(), std::string(piece)});
        } else {
            char name[32];
            std::snprintf(name, sizeof name, "part%05zu.html", content.parts.size());
            content.partNames.push_back(name);
            content.parts.push_back(std::string(piece));
        }
        if (cut == std::string_view::npos)
            break;
        rest.remove_prefix(cut + 1);
    }
    content.coverUid = content.images.empty() ? -1 : 0;
    return kelvra::MapMobiContent(content, source.baseName);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&MapPieces, data, size);
}
