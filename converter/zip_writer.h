#pragma once

// Writes package entries into a ZIP archive with libzip, in the given order,
// each entry either deflated or stored.

#include "converter/epub_package.h"

#include <string>
#include <vector>

namespace kelvra {

/// Creates or replaces the archive at `path`. Throws ConversionError.
void WriteZipArchive(const std::vector<PackageEntry>& entries, const std::string& path);

} // namespace kelvra
