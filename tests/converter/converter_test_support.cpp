#include "tests/converter/converter_test_support.h"

#include "converter/tool_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <zip.h>

namespace kelvra::test {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::mt19937_64 random{std::random_device{}()};
    m_path = fs::temp_directory_path() / ("kelvra-conv-test-" + std::to_string(random()));
    fs::create_directories(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str())) {
        m_previous = previous;
        m_hadValue = true;
    }
    setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_hadValue)
        setenv(m_name.c_str(), m_previous.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<ZipEntry> ReadZip(const std::string& path)
{
    std::vector<ZipEntry> entries;
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    EXPECT_NE(archive, nullptr) << "not a ZIP archive: " << path;
    if (!archive)
        return entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        ZipEntry entry;
        entry.name = stat.name;
        entry.stored = stat.comp_method == ZIP_CM_STORE;
        entry.content.resize(stat.size);
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file) {
            zip_fread(file, entry.content.data(), stat.size);
            zip_fclose(file);
        }
        entries.push_back(std::move(entry));
    }
    zip_discard(archive);
    return entries;
}

std::string EntryText(const std::vector<ZipEntry>& entries, const std::string& name)
{
    for (const ZipEntry& entry : entries)
        if (entry.name == name)
            return entry.content;
    return {};
}

std::string EpubPlainText(const std::vector<ZipEntry>& entries)
{
    static const std::regex kTag("<[^>]*>");
    std::string text;
    for (const ZipEntry& entry : entries) {
        if (entry.name.rfind("OEBPS/text/chapter-", 0) != 0)
            continue;
        const size_t body = entry.content.find("<body>");
        text += std::regex_replace(entry.content.substr(body == std::string::npos ? 0 : body), kTag, " ");
    }
    return text;
}

ProgramRun RunEbookExe(const std::vector<std::string>& arguments)
{
    const ToolResult result = RunTool(KELVRA_EBOOK_EXE, arguments);
    EXPECT_TRUE(result.started) << "cannot start " << KELVRA_EBOOK_EXE;
    return ProgramRun{result.killedBySignal ? -2 : result.exitCode, result.errorTail};
}

std::string ChapteredText(int chapters, int paragraphs)
{
    std::string text = "Opening words before the first chapter.\n\n";
    for (int c = 1; c <= chapters; ++c) {
        text += "Chapter " + std::to_string(c) + "\n\n";
        for (int p = 1; p <= paragraphs; ++p)
            text += "Paragraph " + std::to_string(p) + " of chapter " + std::to_string(c) +
                    " tells\nits part of the story in wrapped lines.\n\n";
    }
    return text;
}

std::string TinyPng()
{
    static const unsigned char kPng[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
        0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF,
        0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(kPng), sizeof kPng);
}

std::vector<bool> EpubCheckClean(const std::vector<std::string>& files, std::string& log)
{
    std::string command = "java -cp /usr/share/java/epubcheck.jar '" KELVRA_EPUBCHECK_BATCH "'";
    for (const std::string& file : files)
        command += " '" + file + "'"; // test-made names hold no quote
    command += " 2>&1";
    std::vector<bool> clean(files.size(), false);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return clean;
    }
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        log.append(buffer, got);
    pclose(pipe);
    for (size_t i = 0; i < files.size(); ++i)
        clean[i] = log.find("EPUBCHECK-RESULT 0 " + files[i] + "\n") != std::string::npos;
    return clean;
}

} // namespace kelvra::test
