#include "core/converter_invocation.h"

#include "core/app_folders.h"
#include "core/paths.h"
#include "platform/file_system.h"

#include <exception>

namespace kelvra {

ConverterProgram ConverterProgram::Installed()
{
    return {AppFolderFile(ConverterFileName), &SystemProcessRunner()};
}

std::string OutputFolderFor(std::string_view nominalOutputPath, std::string_view inputPath, PathStyle style)
{
    return ExtractFilePath(nominalOutputPath, style) + FileNameWithoutExt(inputPath, style) + FolderDelimiter(style);
}

std::string ExpectedEpubPath(std::string_view nominalOutputPath, std::string_view inputPath, PathStyle style)
{
    return OutputFolderFor(nominalOutputPath, inputPath, style) + FileNameWithoutExt(inputPath, style) + ".epub";
}

ProcessCommand ConverterCommand(std::string_view converterPath, std::string_view inputPath, std::string_view epubPath)
{
    ProcessCommand command;
    command.program = converterPath;
    command.parameterText = "  \"";
    command.parameterText += inputPath;
    command.parameterText += "\"  \"";
    command.parameterText += epubPath;
    command.parameterText += "\" ";
    command.parameterText += NoDefaultCoverOption;
    command.parameterText += ' ';
    command.arguments = {std::string(inputPath), std::string(epubPath), std::string(NoDefaultCoverOption)};
    return command;
}

void ConvertOneFile(const std::string& inputPath, const std::string& nominalOutputPath,
                    const ConversionFailureReport& report, const ConverterProgram& converter)
{
    std::string message;
    try {
        // A folder that cannot be created is not reported: the converter then
        // writes no EPUB and the caller's success test tells the failure.
        ForceDirectories(OutputFolderFor(nominalOutputPath, inputPath));
        ProcessRunner& runner = converter.runner ? *converter.runner : SystemProcessRunner();
        runner.RunAndWait(ConverterCommand(converter.path, inputPath, ExpectedEpubPath(nominalOutputPath, inputPath)));
        return;
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Unknown error";
    }
    // Only an empty file is removed, never one with content: output belongs
    // to the user. A missing file (-1) is left alone.
    const auto removeEmptyOutput = [&nominalOutputPath] {
        if (FileSizeByOpen(nominalOutputPath) == 0)
            RemoveFile(nominalOutputPath);
    };
    try {
        if (report)
            report(nominalOutputPath, message);
    } catch (...) {
        removeEmptyOutput(); // a failing report must not keep the empty file
        throw;
    }
    removeEmptyOutput();
}

} // namespace kelvra
