#include "converter/book.h"

namespace kelvra {

std::string RunsText(const std::vector<InlineRun>& runs)
{
    std::string text;
    for (const InlineRun& run : runs)
        text += run.text == "\n" ? std::string(" ") : run.text;
    return text;
}

Block TextBlock(std::string text, BlockKind kind, BlockRole role)
{
    Block block;
    block.kind = kind;
    block.role = role;
    block.runs.push_back(InlineRun{std::move(text), StylePlain, {}, {}, {}});
    return block;
}

} // namespace kelvra
