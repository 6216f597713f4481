// Every kind of book the converter writes passes EPUBCheck with no error and
// no warning. EPUBCheck starts slowly, so all books go through one run.

#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

namespace kelvra::test {
namespace {

struct Input {
    const char* name;
    std::string bytes;
};

/// Text without headings, long enough to be split into several files.
std::string LongText()
{
    std::string text;
    for (int i = 0; text.size() < 700 * 1024; ++i)
        text += "Paragraph " + std::to_string(i) + " runs on with words enough to fill a line or two of text.\n\n";
    return text;
}

std::vector<Input> Inputs()
{
    return {
        {"chapters.txt", ChapteredText(5, 3)},
        {"bom-crlf.txt", "\xEF\xBB\xBFTitle line\r\n\r\nCHAPTER I\r\n\r\nText & <markup> \"quoted\".\r\n"},
        {"no-headings.txt", "Just one paragraph\nof text.\n\nAnd a second one.\n"},
        {"parts.txt", "Part One\n\nChapter 1\n\nText.\n\n* * *\n\nMore.\n\nPart Two\n\nChapter 2\n\nEnd.\n"},
        {"controls.txt", std::string("Bad \x01 controls \x1b and \xEF\xBF\xBF noncharacters.\n")},
        {"long.txt", LongText()},
        {"sample.fb2", SampleFb2()},
        {"sample.rtf", SampleRtf()},
        {"cp1251.txt", "\xC3\xEB\xE0\xE2\xE0 1\n\n\xDD\xF2\xEE \xF2\xE5\xEA\xF1\xF2 \xED\xE0 \xF0\xF3\xF1\xF1\xEA\xEE\xEC "
                       "\xFF\xE7\xFB\xEA\xE5, \xE7\xE0\xEF\xE8\xF1\xE0\xED\xED\xFB\xE9 \xE2 cp1251.\n"},
    };
}

TEST(EpubCheck, EveryWrittenBookIsClean)
{
    TempDir folder;
    std::vector<std::string> epubs;
    for (const Input& input : Inputs()) {
        const std::string path = folder.File(input.name);
        WriteFile(path, input.bytes);
        const std::string epub = path + ".epub";
        const ProgramRun run = RunEbookExe({path, epub, "--no-default-epub-cover"});
        ASSERT_EQ(run.exitCode, 0) << input.name << ": " << run.errorOutput;
        epubs.push_back(epub);
    }
    std::string log;
    const std::vector<bool> clean = EpubCheckClean(epubs, log);
    for (size_t i = 0; i < epubs.size(); ++i)
        EXPECT_TRUE(clean[i]) << epubs[i] << "\n" << log;
}

} // namespace
} // namespace kelvra::test
