#include "converter/staged_output.h"

#include "converter/conversion_error.h"
#include "converter/interrupt_cleanup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace kelvra {

namespace fs = std::filesystem;

namespace {

std::string RandomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 10; ++i)
        suffix += kAlphabet[generator() % (sizeof(kAlphabet) - 1)];
    return suffix;
}

} // namespace

StagedOutput::StagedOutput(std::string finalPath)
    : m_finalPath(std::move(finalPath))
{
    const fs::path target(m_finalPath);
    if (target.filename().empty())
        throw ConversionError("the output path names no file: " + m_finalPath);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        throw ConversionError("the output path is a folder: " + m_finalPath);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(folder, ec))
        throw ConversionError("the output folder does not exist: " + folder.string());

    // A short name of our own: independent of the length of the final name,
    // hidden, and ending in ".epub" for tools that choose a format by it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = (folder / (".ebook-" + RandomSuffix() + ".epub")).string();
        // "x": fail when the name exists, so two conversions never share a file.
        if (FILE* file = std::fopen(candidate.c_str(), "wbx")) {
            std::fclose(file);
            m_temporaryPath = candidate;
            RemoveFileOnInterrupt(m_temporaryPath);
            return;
        }
        if (errno != EEXIST)
            throw ConversionError("cannot create a file in " + folder.string() + ": " + std::strerror(errno));
    }
    throw ConversionError("cannot create a temporary file in " + folder.string());
}

StagedOutput::~StagedOutput()
{
    RemoveFileOnInterrupt({});
    if (!m_committed) {
        std::error_code ec;
        fs::remove(m_temporaryPath, ec);
    }
}

void StagedOutput::Commit()
{
    std::error_code ec;
    fs::rename(m_temporaryPath, m_finalPath, ec);
    RemoveFileOnInterrupt({});
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(m_temporaryPath, ec);
        m_committed = true;
        throw ConversionError("cannot write " + m_finalPath + ": " + reason);
    }
    m_committed = true;
}

} // namespace kelvra
