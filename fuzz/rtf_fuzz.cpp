// libFuzzer target: the RTF reader, and the EPUB package made from its book.

#include "converter/rtf_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return kelvra::FuzzOneReader(&kelvra::ReadRtfBook, data, size);
}
