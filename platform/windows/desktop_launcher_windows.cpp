// The shell launcher on Windows: ShellExecuteA itself, with the parameter text
// handed over unchanged. Needs no Qt, so the console build compiles it too.

#include "platform/desktop_services.h"

#include <windows.h>
#include <shellapi.h>

namespace kelvra {
namespace {

class WindowsShellLauncher final : public ShellLauncher {
public:
    explicit WindowsShellLauncher(std::string appFolder) : m_workingFolder(std::move(appFolder))
    {
        // The working folder is the application folder without its trailing
        // backslash (a drive root keeps it).
        while (m_workingFolder.size() > 3 && m_workingFolder.back() == '\\')
            m_workingFolder.pop_back();
    }

    void LaunchProgram(const std::string& file, const std::string& parameters) override
    {
        // Default verb, normal show state; the active window of this thread
        // (the program's own) owns whatever the shell shows. The shell's
        // answer is not looked at: a failed launch stays silent.
        ShellExecuteA(GetActiveWindow(), nullptr, file.c_str(), parameters.c_str(),
                      m_workingFolder.empty() ? nullptr : m_workingFolder.c_str(), SW_SHOW);
    }

private:
    std::string m_workingFolder;
};

} // namespace

std::unique_ptr<ShellLauncher> CreateDesktopLauncher(const std::string& appFolder)
{
    return std::make_unique<WindowsShellLauncher>(appFolder);
}

} // namespace kelvra
