#pragma once

// kelvracmd: checks its arguments in a fixed order, runs the converter once
// and prints one result line. Every line goes to `out` with CR LF; the
// exit code tells which check refused the run. Single-threaded; blocks while
// the converter runs.

#include "platform/process.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kelvra {

/// Exit codes of kelvracmd, one per check.
enum ConsoleExitCode : int {
    ExitConverted = 0,        ///< converter run, result line printed ([Success] or [Failed])
    ExitUsage = 1,            ///< no arguments, or "?" in the first
    ExitTooManyArguments = 2, ///< more than six arguments
    ExitBadOutputName = 3,    ///< output extension not accepted
    ExitInputMissing = 4,     ///< no file under the input name
    ExitOutputFolderMissing = 5,
    ExitBadLoopCount = 6,
    ExitBadVerboseLevel = 7,
    ExitBadPixelWidth = 8,
    ExitBadPixelHeight = 9,
    ExitUnexpectedError = 99, ///< an error raised on the way, such as a non-integer option
};

/// The usage text, every line ended by CR LF.
std::string_view ConsoleUsageText();

/// The converter command of kelvracmd: parameter text ` "<input>"   "<output>"`
/// (one blank, the quoted input, three blanks, the quoted output, nothing
/// after it) and the arguments [input, output].
ProcessCommand ConsoleConverterCommand(std::string_view converterPath, std::string_view inputName,
                                       std::string_view outputName);

/// Runs kelvracmd with `arguments` (the program's own name not included),
/// starting `converterPath` through `runner`. Writes the lines to `out`,
/// flushes it, and returns the exit code.
int RunConsoleConverter(const std::vector<std::string>& arguments, std::ostream& out, ProcessRunner& runner,
                        const std::string& converterPath);

} // namespace kelvra
