// libFuzzer target: the FB2 parsing and mapping, and the EPUB package made from its book.

#include "converter/fb2_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&kelvra::ReadFb2Book, data, size);
}
