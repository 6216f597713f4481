#pragma once

// The program ebook.exe as a function, so tests can run it in-process:
//   ebook.exe INPUT OUTPUT.epub [--no-default-epub-cover]
//   ebook.exe --help | --version
// Exit 0 only with a complete EPUB at OUTPUT; otherwise one line on `err`,
// a non-zero exit and nothing at OUTPUT.

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvra {

class ExternalConverter;

enum ConverterExitCode {
    ExitSuccess = 0,
    ExitConversionFailed = 1, ///< the input could not be converted
    ExitUsage = 2,            ///< wrong arguments
};

/// `arguments` excludes the program name. `handOver` may be null: then inputs
/// without a reader are refused.
int RunConverter(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 ExternalConverter* handOver);

/// The usage text printed by --help.
std::string ConverterUsage();

} // namespace kelvra
