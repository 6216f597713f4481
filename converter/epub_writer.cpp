#include "converter/epub_writer.h"

#include "converter/epub_package.h"
#include "converter/zip_writer.h"

namespace kelvra {

void WriteEpub(const Book& book, const std::string& path)
{
    WriteZipArchive(BuildEpubPackage(book, CurrentUtcTimestamp()), path);
}

} // namespace kelvra
