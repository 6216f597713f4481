#include "converter/ebook_convert_hand_over.h"

#include "converter/tool_process.h"

namespace kelvra {

namespace {

/// The last non-empty line of a program's error output.
std::string LastLine(const std::string& text)
{
    size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos)
        return {};
    const size_t start = text.find_last_of("\r\n", end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

} // namespace

bool EbookConvertHandOver::Available()
{
    if (!m_searched) {
        m_program = FindProgramOnPath("ebook-convert");
        m_searched = true;
    }
    return !m_program.empty();
}

bool EbookConvertHandOver::Convert(const std::string& input, const std::string& output,
                                   const std::vector<std::string>& options, std::string& failure)
{
    if (!Available()) {
        failure = "not found on the PATH";
        return false;
    }
    std::vector<std::string> arguments{input, output};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ToolResult result = RunTool(m_program, arguments);
    if (!result.started) {
        failure = "could not be started";
        return false;
    }
    if (result.killedBySignal) {
        failure = "ended by a signal";
        return false;
    }
    if (result.exitCode != 0) {
        const std::string detail = LastLine(result.errorTail);
        failure = "exit status " + std::to_string(result.exitCode) + (detail.empty() ? "" : ": " + detail);
        return false;
    }
    return true;
}

} // namespace kelvra
