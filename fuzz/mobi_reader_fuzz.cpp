// libFuzzer target: a MOBI or AZW3 file through libmobi and our mapping of
// what libmobi makes of it, and the EPUB package made from the book.

#include "converter/mobi_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&kelvra::ReadMobiBook, data, size);
}
