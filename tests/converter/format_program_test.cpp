// ebook.exe on MOBI, AZW3 and PDF input: every book it writes passes
// EPUBCheck with no message and keeps the source's words; damaged, protected
// and text-less inputs end with one line on standard error and nothing at
// the output path. EPUBCheck starts slowly, so all books go through one run.

#include "tests/converter/converter_test_support.h"
#include "tools/demo_book/mobi_writer.h"
#include "tools/demo_book/pdf_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace kelvra::test {
namespace {

Book WordyBook()
{
    Book book;
    book.metadata.title = "Wordy";
    book.metadata.authors = {"Ada Wren"};
    for (int c = 1; c <= 4; ++c) {
        Chapter chapter;
        chapter.title = "Chapter " + std::to_string(c);
        Block heading = TextBlock(chapter.title, BlockKind::Heading);
        chapter.blocks.push_back(heading);
        for (int p = 1; p <= 6; ++p)
            chapter.blocks.push_back(TextBlock("Paragraph " + std::to_string(p) + " of chapter " + std::to_string(c) +
                                               " has quite a few words, enough to wrap over several lines of a "
                                               "page, and it ends here."));
        book.chapters.push_back(chapter);
    }
    book.images = {Image{"cover", "image/png", TinyPng()}};
    book.coverImageId = "cover";
    return book;
}

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::string BookText(const Book& book)
{
    std::string text;
    for (const std::string& block : BlockTexts(book))
        text += block + "\n";
    return text;
}

TEST(FormatProgram, WritesCleanEpubsWithEveryWord)
{
    TempDir folder;
    const Book book = WordyBook();
    const struct {
        const char* name;
        std::string bytes;
    } inputs[] = {
        {"book.mobi", WriteMobiBook(book)},
        {"book.azw3", WriteAzw3Book(book)},
        {"book.pdf", WritePdfBook(book)},
        {"wrongly-named.txt", WriteAzw3Book(book)},
        {"demo.azw3", ReadFile(KELVRA_DEMO_BOOK).value()},
    };
    std::vector<std::string> epubs;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.name);
        const std::string path = folder.File(input.name);
        WriteFile(path, input.bytes);
        const std::string epub = path + ".epub";
        const ProgramRun run = RunEbookExe({path, epub, "--no-default-epub-cover"});
        ASSERT_EQ(run.exitCode, 0) << run.errorOutput;
        epubs.push_back(epub);
        if (std::string(input.name) != "demo.azw3") {
            EXPECT_EQ(Words(EpubPlainText(ReadZip(epub))), Words(BookText(book)));
        }
    }
    std::string log;
    const std::vector<bool> clean = EpubCheckClean(epubs, log);
    for (size_t i = 0; i < epubs.size(); ++i)
        EXPECT_TRUE(clean[i]) << epubs[i] << "\n" << log;
}

TEST(FormatProgram, RefusesWithOneLineAndLeavesNothing)
{
    TempDir folder;
    MobiWriteOptions drm;
    drm.markEncrypted = true;
    PdfWriteOptions scanned;
    scanned.textLayer = false;
    PdfWriteOptions locked;
    locked.needsPassword = true;
    const std::string azw3 = WriteAzw3Book(WordyBook());
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } inputs[] = {
        {"drm.azw3", WriteAzw3Book(WordyBook(), drm), "DRM"},
        {"scanned.pdf", WritePdfBook(WordyBook(), scanned), "no text"},
        {"locked.pdf", WritePdfBook(WordyBook(), locked), "password"},
        {"cut.azw3", azw3.substr(0, azw3.size() / 3), "MOBI/AZW3"},
        {"cut.pdf", WritePdfBook(WordyBook()).substr(0, 900), "PDF"},
    };
    // No hand-over: with an empty PATH no other converter can be found.
    ScopedEnv path("PATH", "");
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.name);
        const std::string source = folder.File(input.name);
        WriteFile(source, input.bytes);
        const std::string epub = folder.File(std::string(input.name) + ".epub");
        const ProgramRun run = RunEbookExe({source, epub, "--no-default-epub-cover"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.errorOutput.find(input.reason), std::string::npos) << run.errorOutput;
        EXPECT_EQ(std::count(run.errorOutput.begin(), run.errorOutput.end(), '\n'), 1) << run.errorOutput;
        EXPECT_FALSE(std::filesystem::exists(epub));
    }
    // Nothing but the inputs is left in the folder: no temporary files either.
    EXPECT_EQ(folder.Names().size(), std::size(inputs));
}

} // namespace
} // namespace kelvra::test
