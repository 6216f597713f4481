#pragma once

// The sample book shipped beside the programs as "demo.azw3", which the
// window's Example link adds to the list: a short guide to the suite in
// three chapters, with a section, a picture and a cover, all drawn in code.

#include "converter/book.h"

namespace kelvra {

Book DemoBook();

} // namespace kelvra
