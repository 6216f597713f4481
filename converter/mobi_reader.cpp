#include "converter/mobi_reader.h"

#include "converter/conversion_error.h"
#include "converter/memory_file.h"
#include "converter/mobi_mapping.h"
#include "converter/text_decoding.h"
#include "converter/txt_reader.h"
#include "converter/xml_text.h"

#include <mobi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace kelvra {

namespace {

using MobiDataPtr = std::unique_ptr<MOBIData, decltype(&mobi_free)>;
using MobiRawmlPtr = std::unique_ptr<MOBIRawml, decltype(&mobi_free_rawml)>;

/// Takes a string that libmobi allocated.
std::string TakeString(char* text)
{
    if (!text)
        return {};
    std::string out = CollapseWhitespace(SanitizeUtf8(text));
    std::free(text);
    return out;
}

Metadata ReadMetadata(const MOBIData* m)
{
    Metadata metadata;
    metadata.title = TakeString(mobi_meta_get_title(m));
    MOBIExthHeader* start = nullptr;
    while (MOBIExthHeader* author = mobi_next_exthrecord_by_tag(m, EXTH_AUTHOR, &start)) {
        const std::string name = TakeString(mobi_decode_exthstring(m, static_cast<const unsigned char*>(author->data),
                                                                   author->size));
        if (!name.empty())
            metadata.authors.push_back(name);
        if (!start)
            break;
    }
    // libmobi names an unset language "neutral"; the EPUB writer guesses one instead.
    metadata.language = TakeString(mobi_meta_get_language(m));
    if (metadata.language == "neutral")
        metadata.language.clear();
    metadata.publisher = TakeString(mobi_meta_get_publisher(m));
    metadata.description = TakeString(mobi_meta_get_description(m));
    metadata.date = TakeString(mobi_meta_get_publishdate(m));
    return metadata;
}

long CoverUid(const MOBIData* m)
{
    const MOBIExthHeader* cover = mobi_get_exthrecord_by_tag(m, EXTH_COVEROFFSET);
    if (!cover)
        return -1;
    const std::uint32_t offset = mobi_decode_exthvalue(static_cast<const unsigned char*>(cover->data), cover->size);
    return offset == 0xFFFFFFFF ? -1 : static_cast<long>(offset);
}

bool IsImage(MOBIFiletype type)
{
    return type == T_JPG || type == T_GIF || type == T_PNG || type == T_BMP;
}

std::string PartBytes(const MOBIPart* part)
{
    return part->data ? std::string(reinterpret_cast<const char*>(part->data), part->size) : std::string();
}

std::string PartName(size_t uid)
{
    char name[32];
    std::snprintf(name, sizeof name, "part%05zu.html", uid);
    return name;
}

std::uint32_t BigEndian(std::string_view bytes, size_t at, size_t width)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

/// True when the Palm database's record list is whole and its record
/// offsets rise within the file. libmobi takes each record's size from the
/// next offset, so falling offsets would make it ask for gigabytes.
bool RecordListIsSound(std::string_view bytes)
{
    constexpr size_t kListStart = 78;
    constexpr size_t kEntrySize = 8;
    if (bytes.size() < kListStart)
        return false;
    const size_t count = BigEndian(bytes, 76, 2);
    if (count == 0 || kListStart + count * kEntrySize > bytes.size())
        return false;
    std::uint32_t previous = static_cast<std::uint32_t>(kListStart + count * kEntrySize);
    for (size_t i = 0; i < count; ++i) {
        const std::uint32_t offset = BigEndian(bytes, kListStart + i * kEntrySize, 4);
        if (offset < previous || offset > bytes.size())
            return false;
        previous = offset;
    }
    return true;
}

/// A text claiming more than this many times the file's size is damaged
/// (compression gains a few times at most), and is refused before anything
/// that large is allocated.
constexpr size_t kMaxTextExpansion = 32;

bool TextSizeIsPlausible(const MOBIData* m, size_t fileSize)
{
    const size_t claimed = mobi_get_text_maxsize(m);
    return claimed != MOBI_NOTSET && claimed <= kMaxTextExpansion * fileSize + (1u << 20);
}

/// A PalmDOC file ("TEXtREAd") holds plain text in the records of the same
/// container, without a MOBI header.
bool IsPalmDoc(const MOBIData* m)
{
    return m->ph && std::string_view(m->ph->type, 4) == "TEXt" && std::string_view(m->ph->creator, 4) == "REAd";
}

Book ReadPalmDoc(const MOBIData* m, const SourceFile& source)
{
    std::string text(mobi_get_text_maxsize(m) + 1, '\0');
    size_t length = text.size() - 1;
    if (mobi_get_rawml(m, text.data(), &length) != MOBI_SUCCESS)
        throw InputRejected("the book's text is damaged or cut short");
    text.resize(length);
    std::string title = TakeString(mobi_meta_get_title(m));
    return BookFromPlainText(DecodeText(text).utf8, title.empty() ? source.baseName : title);
}

/// The book's parts, images and table of contents as libmobi rebuilds them.
/// A damaged table of contents costs only the table: the text is then
/// parsed without it, and chapters come from the headings.
MobiRawmlPtr ParseText(const MOBIData* m)
{
    MOBI_RET result = MOBI_SUCCESS;
    for (const bool withToc : {true, false}) {
        MobiRawmlPtr rawml(mobi_init_rawml(m), &mobi_free_rawml);
        if (!rawml)
            throw std::bad_alloc();
        result = mobi_parse_rawml_opt(rawml.get(), m, withToc, false, true);
        if (result == MOBI_SUCCESS)
            return rawml;
        if (result == MOBI_MALLOC_FAILED)
            throw std::bad_alloc();
    }
    throw InputRejected("the book's text is damaged or cut short");
}

} // namespace

Book ReadMobiBook(const SourceFile& source)
{
    MobiDataPtr m(mobi_init(), &mobi_free);
    if (!m)
        throw std::bad_alloc();
    if (!RecordListIsSound(source.bytes))
        throw InputRejected("not a readable MOBI/AZW3 book (its record list is damaged or cut short)");
    {
        MemoryFile file = OpenMemoryFile(source.bytes);
        if (!file)
            throw ConversionError("cannot read the input from memory");
        if (mobi_load_file(m.get(), file.get()) != MOBI_SUCCESS)
            throw InputRejected("not a readable MOBI/AZW3 book (damaged or cut short)");
    }
    if (!TextSizeIsPlausible(m.get(), source.bytes.size()))
        throw InputRejected("the book claims more text than the file can hold (damaged)");
    if (!mobi_exists_mobiheader(m.get())) {
        if (IsPalmDoc(m.get()) && !mobi_is_encrypted(m.get()))
            return ReadPalmDoc(m.get(), source);
        throw InputRejected("not a readable MOBI/AZW3 book (its MOBI header is missing)");
    }
    if (mobi_is_encrypted(m.get()))
        throw ConversionError("the book is protected by DRM (digital rights management) and cannot be converted");
    if (mobi_is_replica(m.get()))
        throw InputRejected("the book is a print replica (a PDF inside a MOBI container)");

    MobiRawmlPtr rawml = ParseText(m.get());

    MobiContent content;
    content.metadata = ReadMetadata(m.get());
    content.coverUid = CoverUid(m.get());
    for (const MOBIPart* part = rawml->markup; part; part = part->next) {
        if (part->type != T_HTML)
            continue;
        content.partNames.push_back(PartName(part->uid));
        content.parts.push_back(PartBytes(part));
    }
    for (const MOBIPart* part = rawml->resources; part; part = part->next) {
        if (part->type == T_NCX && content.ncx.empty())
            content.ncx = PartBytes(part);
        else if (IsImage(part->type))
            content.images.push_back(MobiResource{part->uid, PartBytes(part)});
    }
    return MapMobiContent(content, source.baseName);
}

} // namespace kelvra
