// kelvracmd: converts one e-book file named on the command line into an EPUB
// with the converter "ebook.exe" that lies beside this program.

#include "cmd/console_converter.h"
#include "core/app_folders.h"
#include "core/converter_invocation.h"
#include "platform/standard_output.h"

#include <iostream>

int main(int argc, char** argv)
{
    kelvra::KeepStandardOutputBytes(); // the result lines carry their own "\r\n"
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int code = kelvra::RunConsoleConverter(arguments, std::cout, kelvra::SystemProcessRunner(),
                                                 kelvra::AppFolderFile(kelvra::ConverterFileName));
    std::cout.flush();
    return code;
}
