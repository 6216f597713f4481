#include "hotdir/daily_log.h"

#include "core/paths.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace kelvra {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void ThrowWriteError(const std::string& path, int error)
{
    throw std::runtime_error("Cannot write file \"" + path + "\". " + std::system_category().message(error));
}

enum class Ending { Missing, EmptyOrCrLf, Other };

// Looks at the last two bytes only.
Ending FileEnding(const std::string& path)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return errno == ENOENT ? Ending::Missing : Ending::Other;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return Ending::Other;
    const long size = std::ftell(file.get());
    if (size == 0)
        return Ending::EmptyOrCrLf;
    if (size < 2 || std::fseek(file.get(), -2, SEEK_END) != 0)
        return Ending::Other;
    char last[2] = {};
    if (std::fread(last, 1, 2, file.get()) != 2)
        return Ending::Other;
    return last[0] == '\r' && last[1] == '\n' ? Ending::EmptyOrCrLf : Ending::Other;
}

void AppendInPlace(std::string_view text, const std::string& path)
{
    File file(std::fopen(path.c_str(), "ab"));
    if (!file)
        ThrowWriteError(path, errno);
    const std::string entry = std::string(text) + std::string(kLineEnd);
    if (std::fwrite(entry.data(), 1, entry.size(), file.get()) != entry.size() || std::fflush(file.get()) != 0)
        ThrowWriteError(path, errno);
    if (std::fclose(file.release()) != 0)
        ThrowWriteError(path, errno);
}

// Reads the file as lines ended by CR, LF or CR LF and writes them back, each
// followed by CR LF, then the text: the file's whole content is kept.
void RewriteWithCrLf(std::string_view text, const std::string& path)
{
    std::string content;
    {
        File in(std::fopen(path.c_str(), "rb"));
        if (!in)
            ThrowWriteError(path, errno);
        char buffer[65536];
        std::size_t length;
        while ((length = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
            content.append(buffer, length);
    }
    std::string rewritten;
    rewritten.reserve(content.size() + text.size() + 4);
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            rewritten.append(content, start, std::string::npos);
            rewritten += kLineEnd;
            break;
        }
        rewritten.append(content, start, end - start);
        rewritten += kLineEnd;
        start = end + (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n' ? 2 : 1);
    }
    rewritten += text;
    rewritten += kLineEnd;

    QSaveFile out(QString::fromStdString(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(rewritten.data(), static_cast<qint64>(rewritten.size())) < 0
        || !out.commit())
        throw std::runtime_error("Cannot write file \"" + path + "\". " + out.errorString().toStdString());
}

} // namespace

std::string StartLogEntry(std::string_view time, std::string_view inputPath)
{
    return "Start: [" + std::string(time) + "]" + std::string(kLineEnd) + "Excute File: " + std::string(inputPath);
}

std::string ResultLogEntry(std::string_view nominalOutputPath, bool success, std::string_view time)
{
    return "Save to: " + std::string(nominalOutputPath) + (success ? " [Success]" : " [Failed]") + std::string(kLineEnd)
        + "Finish: [" + std::string(time) + "]";
}

std::string DailyLogPath(std::string_view logFolder, std::string_view date)
{
    return AddTrailingBackslash(logFolder) + std::string(date) + ".log";
}

void AppendLogText(std::string_view text, const std::string& path)
{
    if (FileEnding(path) == Ending::Other)
        RewriteWithCrLf(text, path);
    else
        AppendInPlace(text, path);
}

} // namespace kelvra
