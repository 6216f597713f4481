#pragma once

// A file-dialog double: records each request and answers from a script, one
// answer per dialog in order (an empty answer, or a dialog beyond the
// script, is a cancel).

#include "gui/file_dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvra::test {

class RecordingFileDialogs final : public FileDialogs {
public:
    struct Request {
        bool save;
        FileDialogRequest request;
    };
    std::vector<Request> requests;
    std::deque<std::vector<std::string>> answers;

    std::vector<std::string> GetOpenFileNames(const FileDialogRequest& request) override
    {
        requests.push_back({false, request});
        return Next();
    }

    std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) override
    {
        requests.push_back({true, request});
        const std::vector<std::string> answer = Next();
        if (answer.empty())
            return std::nullopt;
        return answer.front();
    }

private:
    std::vector<std::string> Next()
    {
        if (answers.empty())
            return {};
        std::vector<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace kelvra::test
