#include "converter/source_file.h"

#include "converter/conversion_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kelvra {

namespace fs = std::filesystem;

SourceFile LoadSourceFile(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        throw ConversionError("the input file does not exist: " + path);
    if (fs::is_directory(status))
        throw ConversionError("the input is a folder, not a file: " + path);
    if (!fs::is_regular_file(status))
        throw ConversionError("the input is not a regular file: " + path);

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw ConversionError("cannot open the input file " + path + ": " + std::strerror(errno));

    SourceFile source;
    source.path = path;
    source.baseName = fs::path(path).stem().string();
    const std::uint64_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxInputBytes)
        throw ConversionError("the input file is too large (" + std::to_string(size) + " bytes; the limit is " +
                              std::to_string(kMaxInputBytes) + "): " + path);
    if (!ec)
        source.bytes.reserve(static_cast<size_t>(size));
    char buffer[1 << 16];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, file.get())) {
        source.bytes.append(buffer, got);
        if (source.bytes.size() > kMaxInputBytes)
            throw ConversionError("the input file is too large (the limit is " + std::to_string(kMaxInputBytes) +
                                  " bytes): " + path);
    }
    if (std::ferror(file.get()))
        throw ConversionError("cannot read the input file " + path + ": " + std::strerror(errno));
    if (source.bytes.empty())
        throw ConversionError("the input file is empty: " + path);
    return source;
}

} // namespace kelvra
