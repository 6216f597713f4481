#include "converter/epub_probe.h"

#include <zip.h>

namespace kelvra {

bool LooksLikeEpub(const std::string& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return false;
    bool looksRight = false;
    const char* first = zip_get_name(archive, 0, 0);
    if (first && std::string(first) == "mimetype") {
        if (zip_file_t* file = zip_fopen_index(archive, 0, 0)) {
            char content[32] = {};
            const zip_int64_t got = zip_fread(file, content, sizeof content - 1);
            looksRight = got > 0 && std::string(content, static_cast<size_t>(got)) == "application/epub+zip";
            zip_fclose(file);
        }
    }
    zip_discard(archive);
    return looksRight;
}

} // namespace kelvra
