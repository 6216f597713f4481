#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace kelvra {

namespace {

// Owns the spawn attributes and file actions for one start.
class SpawnSetup {
public:
    SpawnSetup()
    {
        Check(posix_spawn_file_actions_init(&m_actions));
        if (const int result = posix_spawnattr_init(&m_attributes); result != 0) {
            posix_spawn_file_actions_destroy(&m_actions);
            Check(result);
        }
        // The program gets no terminal: its standard streams go nowhere.
        Check(posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0));
        Check(posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0));
        Check(posix_spawn_file_actions_addopen(&m_actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0));
        // No inherited descriptors: a lock file, a watch or a pipe of the
        // caller must not stay open in a converter that outlives it.
        Check(posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1));

        // A caller's blocked or ignored signals are not the converter's.
        sigset_t none;
        sigemptyset(&none);
        Check(posix_spawnattr_setsigmask(&m_attributes, &none));
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        Check(posix_spawnattr_setsigdefault(&m_attributes, &defaults));
        Check(posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
    }

    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&m_attributes);
        posix_spawn_file_actions_destroy(&m_actions);
    }

    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

private:
    static void Check(int result)
    {
        if (result != 0)
            throw std::system_error(result, std::generic_category(), "posix_spawn setup");
    }

    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

class PosixProcessRunner final : public ProcessRunner {
public:
    ProcessOutcome RunAndWait(const ProcessCommand& command) override
    {
        // argv[0] is the program path, the rest is the argument vector exactly
        // as built: no shell, no re-parsing of the names.
        std::vector<char*> argv;
        argv.reserve(command.arguments.size() + 2);
        argv.push_back(const_cast<char*>(command.program.c_str()));
        for (const std::string& argument : command.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);

        ProcessOutcome outcome;
        if (command.program.empty())
            return outcome;

        SpawnSetup setup;
        pid_t pid = 0;
        if (posix_spawn(&pid, command.program.c_str(), setup.actions(), setup.attributes(), argv.data(), environ) != 0)
            return outcome; // cannot be started: silently back to the caller
        outcome.started = true;

        int status = 0;
        for (;;) {
            if (waitpid(pid, &status, 0) == pid)
                break;
            if (errno != EINTR)
                throw std::system_error(errno, std::generic_category(), "waitpid");
        }
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            outcome.signal = WTERMSIG(status);
        return outcome;
    }
};

} // namespace

ProcessRunner& SystemProcessRunner()
{
    static PosixProcessRunner runner;
    return runner;
}

} // namespace kelvra
