// File queries and the folder scan, the cases every system shares: sizes by
// open and by search, existence, folder creation and removal, masks and
// recursion. Paths are written with "/", which TempDir::File turns into the
// host's delimiter.

#include "core/file_info.h"

#include "tests/core/file_info_fixtures.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::WriteFile;

TEST_F(FileQueries, SizesOfFilesFoldersAndMissingNames)
{
    WriteFile(m_dir.File("empty.txt"), "");
    WriteFile(m_dir.File("five.txt"), "12345");
    ASSERT_TRUE(std::filesystem::create_directory(m_dir.File("folder")));

    struct Case {
        const char* name;
        std::int64_t byOpen;
        std::int64_t bySearch;
    };
    const Case cases[] = {
        {"empty.txt", 0, 0}, {"five.txt", 5, 5}, {"missing", -1, 0}, {"folder", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileSizeByOpen(m_dir.File(c.name)), c.byOpen);
        EXPECT_EQ(FileSizeBySearch(m_dir.File(c.name)), c.bySearch);
    }
    EXPECT_EQ(FileSizeByOpen(""), -1);
    EXPECT_EQ(FileSizeBySearch(""), 0);
}

TEST_F(FileQueries, ExistenceTellsFilesFromFolders)
{
    WriteFile(m_dir.File("book.txt"), "x");
    ASSERT_TRUE(std::filesystem::create_directory(m_dir.File("folder")));

    EXPECT_TRUE(FileExists(m_dir.File("book.txt")));
    EXPECT_FALSE(FileExists(m_dir.File("folder")));
    EXPECT_FALSE(FileExists(m_dir.File("missing")));
    EXPECT_FALSE(FileExists(""));

    EXPECT_TRUE(DirectoryExists(m_dir.File("folder")));
    EXPECT_TRUE(DirectoryExists(m_dir.File("folder/")));
    EXPECT_FALSE(DirectoryExists(m_dir.File("book.txt")));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST_F(FileQueries, ForceDirectoriesCreatesEveryMissingParent)
{
    const std::string deep = m_dir.File("a/b c/d/");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(DirectoryExists(m_dir.File("a/b c/d")));
    EXPECT_TRUE(ForceDirectories(deep)); // an existing folder is fine

    WriteFile(m_dir.File("file"), "x");
    EXPECT_FALSE(ForceDirectories(m_dir.File("file/sub")));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST_F(FileQueries, RemoveFileNeverRemovesAFolder)
{
    WriteFile(m_dir.File("f"), "");
    ASSERT_TRUE(std::filesystem::create_directory(m_dir.File("d")));
    EXPECT_TRUE(RemoveFile(m_dir.File("f")));
    EXPECT_FALSE(FileExists(m_dir.File("f")));
    EXPECT_FALSE(RemoveFile(m_dir.File("d")));
    EXPECT_TRUE(DirectoryExists(m_dir.File("d")));
    EXPECT_FALSE(RemoveFile(m_dir.File("missing")));
}

TEST_F(ScanFolderTest, MaskComparesOnlyTheExtensionWithoutCase)
{
    const std::string root = m_dir.File("");
    struct Case {
        const char* mask;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"*.*", {root + "B.PDF", root + "a.pdf", root + "c.txt", root + "noext"}},
        {"*.pdf", {root + "B.PDF", root + "a.pdf"}},
        {"*.PDF", {root + "B.PDF", root + "a.pdf"}},
        {"abc*.pdf", {root + "B.PDF", root + "a.pdf"}},
        {"*", {root + "noext"}},     // no extension in the mask: files without one
        {"*.epub", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(Sorted(Scan(c.mask, false)), c.files);
    }
}

TEST_F(ScanFolderTest, RecursionListsParentFilesFirstDepthFirst)
{
    const std::string root = m_dir.File("");
    const std::vector<std::string> files = Scan("*.pdf", true, root);
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(Sorted({files[0], files[1]}), (std::vector<std::string>{root + "B.PDF", root + "a.pdf"}));
    EXPECT_EQ(files[2], m_dir.File("sub/d.pdf"));
    EXPECT_EQ(files[3], m_dir.File("sub/deeper/e.pdf"));
}

TEST_F(ScanFolderTest, AppendsAndLeavesMissingFoldersAlone)
{
    std::vector<std::string> files{"kept"};
    ScanFolder(m_dir.File("missing"), files, "*.*", true);
    EXPECT_EQ(files, std::vector<std::string>{"kept"});
    ScanFolder(m_dir.File("sub/deeper"), files, "*.*", false);
    EXPECT_EQ(files, (std::vector<std::string>{"kept", m_dir.File("sub/deeper/e.pdf")}));
}

} // namespace
} // namespace kelvra
