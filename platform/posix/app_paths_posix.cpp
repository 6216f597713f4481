#include "platform/app_paths.h"

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace kelvra {

std::string ApplicationFileName()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

namespace {

// Reads XDG_DOCUMENTS_DIR from user-dirs.dirs: a line such as
// XDG_DOCUMENTS_DIR="$HOME/Documents". The file is shell syntax, so a later
// line overrides an earlier one. Returns empty when absent.
std::string DocumentsFromUserDirs(const std::string& home)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string config = (configHome && *configHome) ? configHome : home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    std::string folder;
    constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (!value.empty() && value.front() == '/')
            folder = value;
    }
    return folder;
}

} // namespace

std::string SystemDocumentsFolder()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    std::string folder = DocumentsFromUserDirs(home);
    if (folder.empty())
        folder = std::string(home) + "/Documents";
    return folder;
}

} // namespace kelvra
