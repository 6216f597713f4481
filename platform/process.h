#pragma once

// Starting an external program and waiting for it: the one service through
// which both kelvra and kelvracmd run the converter.

#include <string>
#include <vector>

namespace kelvra {

/// One program start, in both forms a host may need. Windows hands the system
/// the text CommandLine(); POSIX hosts start `program` with `arguments`, the
/// argument vector that the parameter text denotes, so that no name is ever
/// re-parsed and blanks, quotes or shell characters in a name cannot split or
/// add arguments. The builders in core/ fill both forms from the same names.
struct ProcessCommand {
    std::string program;                ///< path of the program, not quoted
    std::string parameterText;          ///< everything after "program "
    std::vector<std::string> arguments; ///< argv[1..] on hosts that take a vector

    /// program + one blank + parameter text: the exact text Windows receives.
    std::string CommandLine() const { return program + ' ' + parameterText; }
};

/// How a started program ended. Callers of the converter ignore this (they
/// judge by the output file); it exists for diagnostics and tests.
struct ProcessOutcome {
    bool started = false; ///< false: the program could not be started
    int exitCode = -1;    ///< exit status when it ended normally, else -1
    int signal = 0;       ///< the signal that ended it, 0 when it exited
};

/// Starts programs hidden (no window, no terminal: standard input, output and
/// error are discarded), in the caller's environment and current folder, with
/// no inherited descriptors, and blocks the calling thread until the program
/// has ended, without a time limit. Any thread may call it; each call waits
/// for its own process only.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    /// Runs `command` and waits for its end. A program that cannot be started
    /// (missing, not executable, not a program) returns at once with
    /// `started` false; nothing is reported. Throws std::system_error only
    /// when the system itself fails: no resources to prepare the start, or
    /// the wait fails so that the program's end is unknown.
    virtual ProcessOutcome RunAndWait(const ProcessCommand& command) = 0;
};

/// The host's process starter (posix_spawn on Linux). Lives for the whole run.
ProcessRunner& SystemProcessRunner();

} // namespace kelvra
