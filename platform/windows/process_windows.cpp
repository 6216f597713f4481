#include "platform/process.h"
#include "platform/windows/windows_handle.h"

#include <system_error>
#include <vector>

namespace kelvra {

namespace {

// CREATE_NEW_CONSOLE (0x10) | NORMAL_PRIORITY_CLASS (0x20): the converter gets
// a console of its own, which the start-up information keeps hidden.
constexpr DWORD kCreationFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
static_assert(kCreationFlags == 0x30);

class WindowsProcessRunner final : public ProcessRunner {
public:
    ProcessOutcome RunAndWait(const ProcessCommand& command) override
    {
        ProcessOutcome outcome;
        if (command.program.empty())
            return outcome;

        // The system takes the program from the command line itself. The
        // text is handed over whole, also beyond 512 characters, in a
        // writable buffer as CreateProcessA requires.
        const std::string commandLine = command.CommandLine();
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');

        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, kCreationFlags, nullptr, nullptr,
                            &startup, &process))
            return outcome; // cannot be started: silently back to the caller
        const UniqueHandle processHandle(process.hProcess);
        const UniqueHandle threadHandle(process.hThread);
        outcome.started = true;

        if (WaitForSingleObject(processHandle.Get(), INFINITE) != WAIT_OBJECT_0)
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "WaitForSingleObject");
        DWORD exitCode = 0;
        if (GetExitCodeProcess(processHandle.Get(), &exitCode))
            outcome.exitCode = static_cast<int>(exitCode);
        return outcome;
    }
};

} // namespace

ProcessRunner& SystemProcessRunner()
{
    static WindowsProcessRunner runner;
    return runner;
}

} // namespace kelvra
