#include "platform/standard_output.h"

namespace kelvra {

void KeepStandardOutputBytes()
{
    // POSIX streams never translate line ends.
}

} // namespace kelvra
