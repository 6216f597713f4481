#include "tests/support/test_files.h"

// The Windows side of the test helpers: temporary folders, environment and
// program runs.

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace kelvra::test {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// One argument quoted so that the C runtime's parser gives it back unchanged:
// blanks and quotes inside quotes, backslashes doubled only before a quote.
std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

// Reads a pipe to its end on a thread of its own.
class PipeReader {
public:
    explicit PipeReader(HANDLE pipe) : m_pipe(pipe), m_thread([this] { Run(); }) { }
    ~PipeReader()
    {
        if (m_thread.joinable())
            m_thread.join();
        CloseHandle(m_pipe);
    }
    std::string Finish()
    {
        m_thread.join();
        return m_text;
    }

private:
    void Run()
    {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(m_pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
            m_text.append(buffer, got);
    }

    HANDLE m_pipe;
    std::string m_text;
    std::thread m_thread;
};

} // namespace

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH)
        Fail("GetTempPathA");
    std::string folder = base;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = folder + "\\kelvra-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(counter++) + "-" + std::to_string(GetTickCount());
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("CreateDirectoryA " + candidate);
    }
    throw std::runtime_error("no free name for a temporary folder");
}

// _putenv_s changes the C runtime's copy and the process environment that
// started programs inherit; an empty value removes the variable.
ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    _putenv_s(m_name.c_str(), value ? value->c_str() : "");
}

ScopedEnv::~ScopedEnv()
{
    _putenv_s(m_name.c_str(), m_previous ? m_previous->c_str() : "");
}

std::string RunningProgramPath()
{
    char own[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
    return std::string(own, length);
}

// Beside the test programs, found from the running one so that the path is
// the system's own whatever the build wrote down.
std::string FakeConverterPath()
{
    std::string folder = RunningProgramPath();
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "kelvra_fake_converter.exe";
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inheritable, 0) || !CreatePipe(&errRead, &errWrite, &inheritable, 0))
        Fail("CreatePipe");
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                             nullptr);

    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments)
        commandLine += ' ' + QuoteArgument(argument);
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    const DWORD error = GetLastError();
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    PipeReader out(outRead);
    PipeReader err(errRead);
    if (!started) {
        SetLastError(error);
        Fail("CreateProcessA " + program);
    }
    ProgramResult result;
    result.standardOutput = out.Finish();
    result.standardError = err.Finish();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode))
        result.exitCode = static_cast<int>(exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

} // namespace kelvra::test
