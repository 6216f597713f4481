#pragma once

// Recording doubles of the services that touch the outside world. Each one
// keeps what it was asked, so a test asserts exactly what would have been
// handed to the system. Single-threaded use.

#include "platform/process.h"
#include "platform/shell.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvra::test {

/// Records every command instead of starting it. `onRun`, when set, runs in
/// place of the program (to write an output file, or throw to simulate a
/// system failure).
class RecordingProcessRunner final : public ProcessRunner {
public:
    std::vector<ProcessCommand> commands;
    std::function<void(const ProcessCommand&)> onRun;

    ProcessOutcome RunAndWait(const ProcessCommand& command) override
    {
        commands.push_back(command);
        if (onRun)
            onRun(command);
        return {true, 0, 0};
    }
};

/// Records the title and start folder of each request and answers with
/// `answer` (nothing: the user cancels).
class RecordingFolderPicker final : public FolderPicker {
public:
    struct Request {
        std::string title;
        std::string startFolder;
    };
    std::vector<Request> requests;
    std::optional<std::string> answer;

    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override
    {
        requests.push_back({title, startFolder});
        return answer;
    }
};

/// Records each launch as (file, parameters).
class RecordingShellLauncher final : public ShellLauncher {
public:
    std::vector<std::pair<std::string, std::string>> launches;

    void LaunchProgram(const std::string& file, const std::string& parameters) override
    {
        launches.emplace_back(file, parameters);
    }
};

} // namespace kelvra::test
