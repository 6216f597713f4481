#pragma once

// A message-box double: records each box (text, caption, flags) and answers
// with `answer`.

#include "platform/message_box.h"

#include <string>
#include <vector>

namespace kelvra::test {

class RecordingMessageBoxes final : public MessageBoxService {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags;
    };
    std::vector<Box> boxes;
    int answer = kIdOk;

    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        boxes.push_back({text, caption, flags});
        return answer;
    }
};

} // namespace kelvra::test
