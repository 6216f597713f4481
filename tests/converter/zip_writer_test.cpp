// The converter's own ZIP writer, read back by libzip, and the quick EPUB
// test that judges what another program wrote.

#include "converter/conversion_error.h"
#include "converter/epub_probe.h"
#include "converter/zip_writer.h"
#include "tests/converter/converter_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvra::test {
namespace {

std::string RandomBytes(size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::vector<PackageEntry> SampleEntries()
{
    return {
        {"mimetype", "application/epub+zip", false},
        {"META-INF/container.xml", "<container>" + std::string(200, ' ') + "</container>", true},
        {"OEBPS/empty.css", "", true},
        {"OEBPS/Bücher/kapitel-ü.xhtml", "<p>Grüße</p>", true},
        {"OEBPS/cover.jpg", RandomBytes(5000), true},
    };
}

TEST(ZipWriter, LibzipReadsBackEveryEntryInOrder)
{
    // Small archives are deflated on one thread, large ones on several: both
    // must come out whole and in the order given.
    std::vector<std::vector<PackageEntry>> cases = {SampleEntries(), SampleEntries()};
    for (int i = 0; i < 40; ++i)
        cases[1].push_back({"OEBPS/chapter" + std::to_string(i) + ".xhtml", ChapteredText(1, 30 + i), true});

    for (const std::vector<PackageEntry>& entries : cases) {
        SCOPED_TRACE(std::to_string(entries.size()) + " entries");
        TempDir folder;
        const std::string path = folder.File("book.epub");
        WriteZipArchive(entries, path);

        const std::vector<ZipEntry> read = ReadZip(path);
        ASSERT_EQ(read.size(), entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(read[i].name, entries[i].name);
            EXPECT_EQ(read[i].content, entries[i].content) << entries[i].name;
        }
        EXPECT_TRUE(read[0].stored) << "mimetype must be stored";
        EXPECT_FALSE(read[1].stored) << "text is deflated";
        EXPECT_TRUE(read[4].stored) << "data that does not shrink is stored";
        EXPECT_TRUE(LooksLikeEpub(path));
    }
}

TEST(ZipWriter, ReplacesAnOldFileAndReportsAFolderItCannotWrite)
{
    TempDir folder;
    const std::string path = folder.File("book.epub");
    WriteFile(path, std::string(100000, 'x'));
    WriteZipArchive(SampleEntries(), path);
    EXPECT_EQ(ReadZip(path).size(), SampleEntries().size());

    const std::string nowhere = folder.File("missing/book.epub");
    try {
        WriteZipArchive(SampleEntries(), nowhere);
        ADD_FAILURE() << "no error for " << nowhere;
    } catch (const ConversionError& error) {
        EXPECT_NE(std::string(error.what()).find(nowhere), std::string::npos) << error.what();
    }
}

TEST(EpubProbe, TellsAnEpubContainerFromOtherFiles)
{
    TempDir folder;
    const std::string good = folder.File("good.epub");
    WriteZipArchive(SampleEntries(), good);
    const std::string bytes = ReadFile(good).value();
    // Header fields of the first entry: flags at 6, method at 8, sizes at 18 and 22.
    auto patched = [&](size_t offset, std::string field) { return std::string(bytes).replace(offset, field.size(), field); };
    std::vector<PackageEntry> opfFirst = SampleEntries();
    std::swap(opfFirst[0], opfFirst[1]);
    std::vector<PackageEntry> wrongType = SampleEntries();
    wrongType[0].content = "application/zip+epub";
    const std::string opfFirstPath = folder.File("opf-first.epub");
    const std::string wrongTypePath = folder.File("wrong-type.epub");
    WriteZipArchive(opfFirst, opfFirstPath);
    WriteZipArchive(wrongType, wrongTypePath);

    struct Case {
        const char* name;
        std::string bytes;
        bool epub;
    };
    const std::vector<Case> cases = {
        {"our own EPUB", bytes, true},
        {"sizes in a data descriptor", patched(6, std::string("\x08\x00", 2)).replace(18, 8, std::string(8, '\0')), true},
        {"mimetype deflated", patched(8, std::string("\x08\x00", 2)), false},
        {"mimetype not first", ReadFile(opfFirstPath).value(), false},
        {"another media type", ReadFile(wrongTypePath).value(), false},
        {"cut inside the first header", bytes.substr(0, 40), false},
        {"cut inside the media type", bytes.substr(0, 50), false},
        {"not a ZIP archive", "application/epub+zip and more text than a header", false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File("probe.epub");
        WriteFile(path, c.bytes);
        EXPECT_EQ(LooksLikeEpub(path), c.epub);
    }
    EXPECT_FALSE(LooksLikeEpub(folder.File("no such file.epub")));
}

} // namespace
} // namespace kelvra::test
