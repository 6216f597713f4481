#include "converter/book_readers.h"

#include "converter/conversion_error.h"
#include "converter/fb2_reader.h"
#include "converter/mobi_reader.h"
#include "converter/pdf_reader.h"
#include "converter/rtf_reader.h"
#include "converter/txt_reader.h"

namespace kelvra {

namespace {

struct ReaderEntry {
    BookFormat format;
    Book (*read)(const SourceFile&);
};

constexpr ReaderEntry kReaders[] = {
    {BookFormat::Text, &ReadTxtBook},
    {BookFormat::Fb2, &ReadFb2Book},
    {BookFormat::Rtf, &ReadRtfBook},
    {BookFormat::Mobi, &ReadMobiBook},
    {BookFormat::Pdf, &ReadPdfBook},
};

const ReaderEntry* FindReader(BookFormat format)
{
    for (const ReaderEntry& entry : kReaders)
        if (entry.format == format)
            return &entry;
    return nullptr;
}

} // namespace

bool HasReader(BookFormat format)
{
    return FindReader(format) != nullptr;
}

Book ReadBook(const SourceFile& source, BookFormat format)
{
    const ReaderEntry* entry = FindReader(format);
    if (!entry)
        throw InputRejected(std::string("no reader for ") + FormatName(format) + " files");
    return entry->read(source);
}

} // namespace kelvra
