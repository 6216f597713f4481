#include "fuzz/fuzz_support.h"

#include "converter/conversion_error.h"
#include "converter/epub_package.h"

#include <libxml/parser.h>

#include <cstdio>
#include <cstdlib>

namespace kelvra {

namespace {

void CheckWellFormed(const PackageEntry& entry)
{
    const bool isXml = entry.name.ends_with(".xhtml") || entry.name.ends_with(".opf") || entry.name.ends_with(".ncx") ||
                       entry.name.ends_with(".xml");
    if (!isXml)
        return;
    xmlDocPtr document = xmlReadMemory(entry.content.data(), static_cast<int>(entry.content.size()), nullptr, nullptr,
                                       XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document) {
        std::fprintf(stderr, "not well-formed: %s\n%s\n", entry.name.c_str(), entry.content.c_str());
        std::abort();
    }
    xmlFreeDoc(document);
}

} // namespace

int FuzzOneReader(BookReaderFunction read, const std::uint8_t* data, std::size_t size)
{
    SourceFile source;
    source.path = "fuzz-input";
    source.baseName = "fuzz-input";
    source.bytes.assign(reinterpret_cast<const char*>(data), size);
    try {
        const Book book = read(source);
        for (const PackageEntry& entry : BuildEpubPackage(book, "2024-01-01T00:00:00Z"))
            CheckWellFormed(entry);
    } catch (const ConversionError&) {
        // A clear refusal is a correct answer to damaged input.
    }
    return 0;
}

} // namespace kelvra
