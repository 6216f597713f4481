// libFuzzer target: a PDF through poppler and our rebuilding of its text,
// and the EPUB package made from the book.

#include "converter/pdf_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&kelvra::ReadPdfBook, data, size);
}
