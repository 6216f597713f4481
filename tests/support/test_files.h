#pragma once

// Real files, folders, environment variables and processes for tests.

#include "platform/path_style.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvra::test {

/// The host's folder delimiter, with which the helpers join test paths.
inline constexpr char PathDelimiter()
{
    return kHostPathStyle == PathStyle::Windows ? '\\' : '/';
}

/// `relative` with every "/" turned into the host's delimiter, so that tests
/// can name sub-paths the same way on every system.
inline std::string HostRelative(std::string relative)
{
    for (char& c : relative) {
        if (c == '/')
            c = PathDelimiter();
    }
    return relative;
}

/// A fresh folder under the system's temporary folder, removed with all its
/// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder's path, without a trailing delimiter.
    const std::string& path() const { return m_path; }
    /// path() + delimiter + name, "/" in the name taken as the delimiter.
    std::string File(const std::string& name) const { return m_path + PathDelimiter() + HostRelative(name); }
    /// The names of the entries directly in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

/// Sets (or, with nothing, unsets) an environment variable for the object's
/// lifetime and restores the former state afterwards.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

/// Ways the fake converter can fail without leaving an output file.
struct ConverterFault {
    const char* name;
    const char* variable; ///< the fake converter's environment variable
    const char* value;
};
inline constexpr ConverterFault kConverterFaults[] = {
    {"writes_nothing", "KELVRA_FAKE_WRITE", "none"},
    {"exits_non_zero_without_output", "KELVRA_FAKE_EXIT_CODE", "3"},
    {"crashes_by_signal", "KELVRA_FAKE_SIGNAL", "11"},
};

/// Makes the fake converter fail in the given way while the object lives.
class ScopedConverterFault {
public:
    explicit ScopedConverterFault(const ConverterFault& fault)
        : m_noOutput("KELVRA_FAKE_WRITE", std::string("none"))
        , m_fault(fault.variable, std::string(fault.value))
    {
    }

private:
    ScopedEnv m_noOutput;
    ScopedEnv m_fault;
};

/// Creates `levels` nested folders below `base`, each named by `nameLength`
/// repetitions of one letter, and returns the deepest: a path far beyond
/// 512 characters while every name stays within the 255-byte limit.
std::string CreateDeepFolder(const std::string& base, int levels, std::size_t nameLength);

void WriteFile(const std::string& path, const std::string& content);
/// The whole file; nothing when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
/// Copies a program keeping it executable.
void CopyProgram(const std::string& from, const std::string& to);

/// The arguments the fake converter recorded (KELVRA_FAKE_ARGS_FILE);
/// nothing when it was not started.
std::optional<std::vector<std::string>> ReadRecordedArguments(const std::string& file);

/// Path of the fake converter built with the tests.
std::string FakeConverterPath();

/// The full path of the running test program, as the system itself names it.
std::string RunningProgramPath();

/// What a program run by RunProgram printed and how it ended.
struct ProgramResult {
    int exitCode = -1; ///< -1 when it did not exit normally
    std::string standardOutput;
    std::string standardError;
};

/// Runs `program` with `arguments` in the folder `workingFolder` (empty: the
/// current one), standard input from the null device, and collects its output.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder = {});

} // namespace kelvra::test
