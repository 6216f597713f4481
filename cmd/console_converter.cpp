#include "cmd/console_converter.h"

#include "cmd/command_options.h"
#include "core/paths.h"
#include "core/str_to_int.h"
#include "platform/file_system.h"

#include <exception>

namespace kelvra {

namespace {

constexpr std::size_t MaxArguments = 6;
constexpr std::string_view LineEnd = "\r\n";

int Finish(std::ostream& out, int code, std::string_view text)
{
    out << text;
    out.flush();
    return code;
}

int FinishLine(std::ostream& out, int code, const std::string& line)
{
    return Finish(out, code, line + std::string(LineEnd));
}

bool InRange(const std::string& value, int low, int high)
{
    const std::int32_t number = StrToInt(value);
    return number >= low && number <= high;
}

} // namespace

std::string_view ConsoleUsageText()
{
    return "Kelvra Command Line Usage:\r\n"
           "kelvracmd <Input filename> <Output filename> \r\n"
           "Parameters\r\n"
           "<Input filename>:          Input filename.\r\n"
           "<Output filename>:         Output filename.\r\n"
           "Examples:\r\n"
           "  kelvracmd \"D:\\in\\sample1.pdf\" \"d:\\1.epub\" \r\n"
           "  kelvracmd \"D:\\in\\sample1.rtf\" \"d:\\1.epub\" \r\n"
           "  kelvracmd \"D:\\in\\sample1.lit\" \"d:\\1.epub\" \r\n";
}

ProcessCommand ConsoleConverterCommand(std::string_view converterPath, std::string_view inputName,
                                       std::string_view outputName)
{
    ProcessCommand command;
    command.program = converterPath;
    command.parameterText = " \"";
    command.parameterText += inputName;
    command.parameterText += "\"   \"";
    command.parameterText += outputName;
    command.parameterText += '"';
    command.arguments = {std::string(inputName), std::string(outputName)};
    return command;
}

int RunConsoleConverter(const std::vector<std::string>& arguments, std::ostream& out, ProcessRunner& runner,
                        const std::string& converterPath)
{
    try {
        if (arguments.empty())
            return Finish(out, ExitUsage, ConsoleUsageText());
        if (arguments.size() > MaxArguments)
            return FinishLine(out, ExitTooManyArguments, "Parameters error! Please run kelvracmd to get help.");
        const std::string& inputName = arguments[0];
        if (inputName.find('?') != std::string::npos)
            return Finish(out, ExitUsage, ConsoleUsageText());
        const std::string outputName = arguments.size() > 1 ? arguments[1] : std::string();

        if (!FileExists(inputName))
            return FinishLine(out, ExitInputMissing, "Input file does not found: " + inputName);
        if (!outputName.empty()) {
            if (!ExtensionInList(outputName, ".epub"))
                return FinishLine(out, ExitBadOutputName, "Output filename errors: " + outputName);
            // The folder is never created: it must be there already.
            if (!DirectoryExists(ExtractFilePath(outputName)))
                return FinishLine(out, ExitOutputFolderMissing, "Output path does not be found: " + outputName);
        }

        // The options are checked, not used: the converter is given neither
        // the switches nor their values.
        const ConsoleOptions options = ReadConsoleOptions(arguments);
        if (!InRange(options.loopCount, 0, 100))
            return FinishLine(out, ExitBadLoopCount, "Loop count must be in the range 1-100.");
        const std::string& verbose = options.verboseLevel;
        if (!verbose.empty() && verbose != "0" && verbose != "1" && verbose != "2")
            return FinishLine(out, ExitBadVerboseLevel, "Verbose level must be in [0,1,2].");
        if (!InRange(options.pixelWidth, 0, 9999))
            return FinishLine(out, ExitBadPixelWidth, "Pixel width must be in the range 1-9999.");
        if (!InRange(options.pixelHeight, 0, 9999))
            return FinishLine(out, ExitBadPixelHeight, "Pixel height must be in the range 1-9999.");

        runner.RunAndWait(ConsoleConverterCommand(converterPath, inputName, outputName));

        // Judged by the output file alone; the converter's exit status is not
        // consulted. An empty file counts as a failure.
        const bool converted = FileExists(outputName) && FileSizeByOpen(outputName) > 0;
        return FinishLine(out, ExitConverted,
                          "Convert to: " + outputName + (converted ? " [Success]" : " [Failed]"));
    } catch (const std::exception& error) {
        return FinishLine(out, ExitUnexpectedError, std::string("Unexpected error: ") + error.what() + ".");
    } catch (...) {
        return FinishLine(out, ExitUnexpectedError, "Unexpected error: unknown error.");
    }
}

} // namespace kelvra
