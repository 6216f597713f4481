// A stand-in for "ebook.exe" that tests place beside the programs. It records
// what it was started with and does what its environment tells it:
//   KELVRA_FAKE_ARGS_FILE  write the received arguments there, each followed by
//                          a NUL byte (names with newlines stay intact)
//   KELVRA_FAKE_FDS_FILE   write where descriptors 0 to 2 lead, one per line,
//                          then "open:" and every other open descriptor
//   KELVRA_FAKE_WRITE      "content" (default): a non-empty file at the second
//                          argument; "empty": an empty file; "none": nothing
//   KELVRA_FAKE_SLEEP_MS   wait this long first
//   KELVRA_FAKE_EXIT_CODE  end with this code (default 0)
//   KELVRA_FAKE_SIGNAL     end by this signal instead, without a core file

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void RecordArguments(const std::string& file, int argc, char** argv)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\0';
}

std::string LinkTarget(const std::string& link)
{
    char buffer[4096];
    const ssize_t length = readlink(link.c_str(), buffer, sizeof buffer);
    return length < 0 ? std::string("closed") : std::string(buffer, static_cast<std::size_t>(length));
}

void RecordDescriptors(const std::string& file)
{
    std::string report;
    for (int fd = 0; fd <= 2; ++fd)
        report += LinkTarget("/proc/self/fd/" + std::to_string(fd)) + '\n';
    report += "open:";
    if (DIR* dir = opendir("/proc/self/fd")) {
        const int own = dirfd(dir);
        while (const dirent* entry = readdir(dir)) {
            const int fd = std::atoi(entry->d_name);
            if (entry->d_name[0] == '.' || fd <= 2 || fd == own)
                continue;
            report += ' ' + std::to_string(fd);
        }
        closedir(dir);
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc) << report << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::string file = Env("KELVRA_FAKE_ARGS_FILE"); !file.empty())
        RecordArguments(file, argc, argv);
    if (const std::string file = Env("KELVRA_FAKE_FDS_FILE"); !file.empty())
        RecordDescriptors(file);
    if (const std::string ms = Env("KELVRA_FAKE_SLEEP_MS"); !ms.empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(ms.c_str())));

    const std::string write = Env("KELVRA_FAKE_WRITE");
    if (argc > 2 && write != "none") {
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        if (write != "empty")
            out << "PK fake epub\n";
    }

    if (const std::string signalNumber = Env("KELVRA_FAKE_SIGNAL"); !signalNumber.empty()) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const int sig = std::atoi(signalNumber.c_str());
        std::signal(sig, SIG_DFL);
        raise(sig);
    }
    return std::atoi(Env("KELVRA_FAKE_EXIT_CODE").c_str());
}
