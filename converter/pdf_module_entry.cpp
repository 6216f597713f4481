// The entry point of kelvra_pdf_reader.so, the PDF reader that ebook.exe
// loads only when a PDF arrives (see posix/pdf_module_posix.cpp). Errors
// leave as the converter's own exceptions; the caller keeps the module loaded
// for as long as the process lives, so their code stays in place.
#include "converter/pdf_reader.h"

extern "C" __attribute__((visibility("default"))) void kelvra_read_pdf_book(const kelvra::SourceFile* source,
                                                                            kelvra::Book* book)
{
    *book = kelvra::ReadPdfBook(*source);
}
