#pragma once

// A quick test that a file is an EPUB container, for output that another
// program wrote: a ZIP archive whose first entry is "mimetype" holding
// "application/epub+zip", stored, as the EPUB container requires.

#include <string>

namespace kelvra {

bool LooksLikeEpub(const std::string& path);

} // namespace kelvra
