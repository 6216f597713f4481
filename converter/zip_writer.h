#pragma once

// Writes package entries into a ZIP archive, in the given order, each entry
// either deflated (raw deflate at level 1, through zlib) or stored. Large
// entries are deflated on two threads at once; an entry that deflate would
// not make smaller is stored. No ZIP64: an archive that would need it is
// refused.

#include "converter/epub_package.h"

#include <string>
#include <vector>

namespace kelvra {

/// Creates or replaces the archive at `path`. Throws ConversionError.
void WriteZipArchive(const std::vector<PackageEntry>& entries, const std::string& path);

} // namespace kelvra
