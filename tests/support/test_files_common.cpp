#include "tests/support/test_files.h"

// The test helpers that are the same on every system.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvra::test {

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TempDir::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CreateDeepFolder(const std::string& base, int levels, std::size_t nameLength)
{
    std::string folder = base;
    for (int i = 0; i < levels; ++i)
        folder += PathDelimiter() + std::string(nameLength, static_cast<char>('a' + i % 26));
    std::filesystem::create_directories(folder);
    return folder;
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void CopyProgram(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

std::optional<std::vector<std::string>> ReadRecordedArguments(const std::string& file)
{
    const std::optional<std::string> content = ReadFile(file);
    if (!content)
        return std::nullopt;
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (std::size_t end = content->find('\0'); end != std::string::npos; end = content->find('\0', start)) {
        arguments.push_back(content->substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

} // namespace kelvra::test
