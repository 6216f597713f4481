// libFuzzer target: the plain-text reader, and the EPUB package made from its book.

#include "converter/txt_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&kelvra::ReadTxtBook, data, size);
}
