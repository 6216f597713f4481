#include "converter/memory_file.h"

#include <stdio.h>

namespace kelvra {

MemoryFile OpenMemoryFile(std::string_view bytes)
{
    if (bytes.empty())
        return MemoryFile(nullptr, &std::fclose);
    // fmemopen never writes through a stream opened for reading.
    return MemoryFile(fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb"), &std::fclose);
}

} // namespace kelvra
