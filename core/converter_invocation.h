#pragma once

// How one input file is converted by the external converter "ebook.exe":
// where the EPUB goes, the exact command handed to the converter, and what
// happens when an error is raised on the way. The caller judges success
// afterwards by looking for the EPUB at ExpectedEpubPath, nothing else.

#include "platform/path_style.h"
#include "platform/process.h"

#include <functional>
#include <string>
#include <string_view>

namespace kelvra {

/// Name of the converter program beside kelvra and kelvracmd.
inline constexpr std::string_view ConverterFileName = "ebook.exe";

/// Option appended after the EPUB path on every conversion of the window.
inline constexpr std::string_view NoDefaultCoverOption = "--no-default-epub-cover";

/// The converter program and the service that starts it. The shipped
/// programs use Installed(); tests point `path` at a converter of their own
/// or pass a recording runner. `runner` is not owned and must outlive calls.
struct ConverterProgram {
    std::string path;
    ProcessRunner* runner = nullptr;

    /// AppFolderFile("ebook.exe") started by SystemProcessRunner().
    static ConverterProgram Installed();
};

/// Called by ConvertOneFile with the nominal output path and the message of
/// an error raised while it ran. The batch run and the hot folder each supply
/// their own.
using ConversionFailureReport = std::function<void(const std::string& nominalOutputPath, const std::string& message)>;

/// Folder that receives the EPUB of one input: the folder part of the
/// nominal output path + the input's base name + delimiter. For input
/// D:\books\Alice.mobi and nominal E:\out\Alice.epub: E:\out\Alice\ .
std::string OutputFolderFor(std::string_view nominalOutputPath, std::string_view inputPath,
                            PathStyle style = kHostPathStyle);

/// OutputFolderFor + the input's base name + ".epub": E:\out\Alice\Alice.epub
/// in the example above. The only path the converter is asked to write.
std::string ExpectedEpubPath(std::string_view nominalOutputPath, std::string_view inputPath,
                             PathStyle style = kHostPathStyle);

/// The converter command for one input: parameter text
/// `  "<input>"  "<epub>" --no-default-epub-cover ` (two blanks before each
/// quoted path, one blank around the option) and the arguments
/// [input, epub, "--no-default-epub-cover"].
ProcessCommand ConverterCommand(std::string_view converterPath, std::string_view inputPath, std::string_view epubPath);

/// Converts one input file: creates OutputFolderFor (with every missing
/// parent; a failure is left to the caller's success test) and runs the
/// converter on it, waiting for its end. An error raised on the way is
/// handed to `report` with the nominal output path; then an empty file at the
/// nominal output path (size exactly 0) is deleted. Never throws what it
/// caught; never touches the expected EPUB. Runs on the caller's thread and
/// blocks it until the converter has ended.
void ConvertOneFile(const std::string& inputPath, const std::string& nominalOutputPath,
                    const ConversionFailureReport& report, const ConverterProgram& converter = ConverterProgram::Installed());

} // namespace kelvra
