#include "converter/tool_process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvra {

namespace {

constexpr size_t kErrorTailBytes = 4096;

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindProgramOnPath(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    const std::string folders(path);
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

ToolResult RunTool(const std::string& program, const std::vector<std::string>& arguments)
{
    ToolResult result;
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(errorPipe[1]);
    if (spawnError != 0) {
        close(errorPipe[0]);
        return result;
    }
    result.started = true;

    // Read until the program closes its standard error, keeping the tail, so
    // that a chatty program never blocks on a full pipe.
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(errorPipe[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        result.errorTail.append(buffer, static_cast<size_t>(got));
        if (result.errorTail.size() > 2 * kErrorTailBytes)
            result.errorTail.erase(0, result.errorTail.size() - kErrorTailBytes);
    }
    close(errorPipe[0]);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else
        result.killedBySignal = WIFSIGNALED(status);
    return result;
}

} // namespace kelvra
