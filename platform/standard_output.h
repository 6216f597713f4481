#pragma once

// The console program writes its lines with their own line ends ("\r\n");
// standard output must hand those bytes on unchanged.

namespace kelvra {

/// Makes standard output pass bytes through as written. Windows: switches
/// the C runtime's stream from text to binary mode, so "\n" is not turned
/// into "\r\n" a second time. Elsewhere nothing needs doing. Called once by
/// the program main before anything is written.
void KeepStandardOutputBytes();

} // namespace kelvra
