#pragma once

#include <string>

namespace kelvra {

/// Full path of the running executable, as the system reports it.
std::string ApplicationFileName();

/// The current user's documents folder, without a trailing delimiter; empty
/// when the system cannot name one.
std::string SystemDocumentsFolder();

} // namespace kelvra
