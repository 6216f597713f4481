// The Windows stand-in for "ebook.exe" that tests place beside the programs.
// It records what it was started with and does what its environment tells it:
//   KELVRA_FAKE_ARGS_FILE          write the arguments as the C runtime parsed
//                                  them, each followed by a NUL byte
//   KELVRA_FAKE_COMMAND_LINE_FILE  write the command line exactly as the system
//                                  handed it over (GetCommandLineA)
//   KELVRA_FAKE_FOLDER_FILE        write the current folder it was started in
//   KELVRA_FAKE_WRITE              "content" (default): a non-empty file at the
//                                  second argument; "empty": an empty file;
//                                  "none": nothing
//   KELVRA_FAKE_SLEEP_MS           wait this long first
//   KELVRA_FAKE_EXIT_CODE          end with this code (default 0)
//   KELVRA_FAKE_SIGNAL             end the way a crashed program ends: at once,
//                                  with an exception code (0xC0000005) as status

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::string file = Env("KELVRA_FAKE_ARGS_FILE"); !file.empty()) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\0';
    }
    if (const std::string file = Env("KELVRA_FAKE_COMMAND_LINE_FILE"); !file.empty())
        std::ofstream(file, std::ios::binary | std::ios::trunc) << GetCommandLineA();
    if (const std::string file = Env("KELVRA_FAKE_FOLDER_FILE"); !file.empty()) {
        char folder[MAX_PATH + 1] = {};
        const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
        std::ofstream(file, std::ios::binary | std::ios::trunc).write(folder, length);
    }
    if (const std::string ms = Env("KELVRA_FAKE_SLEEP_MS"); !ms.empty())
        Sleep(static_cast<DWORD>(std::atol(ms.c_str())));

    const std::string write = Env("KELVRA_FAKE_WRITE");
    if (argc > 2 && write != "none") {
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        if (write != "empty")
            out << "PK fake epub\n";
    }

    if (!Env("KELVRA_FAKE_SIGNAL").empty())
        TerminateProcess(GetCurrentProcess(), 0xC0000005);
    return std::atoi(Env("KELVRA_FAKE_EXIT_CODE").c_str());
}
