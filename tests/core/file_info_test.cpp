#include "core/file_info.h"

#include "tests/support/test_files.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {
namespace {

using test::TempDir;
using test::WriteFile;

class FileQueries : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(FileQueries, SizesOfFilesFoldersAndMissingNames)
{
    WriteFile(m_dir.File("empty.txt"), "");
    WriteFile(m_dir.File("five.txt"), "12345");
    ASSERT_EQ(mkdir(m_dir.File("folder").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(m_dir.File("pipe").c_str(), 0644), 0);

    struct Case {
        const char* name;
        std::int64_t byOpen;
        std::int64_t bySearch;
    };
    const Case cases[] = {
        {"empty.txt", 0, 0}, {"five.txt", 5, 5}, {"missing", -1, 0}, {"folder", -1, 0},
        {"pipe", -1, 0}, // a pipe is no file: opening must neither block nor count it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileSizeByOpen(m_dir.File(c.name)), c.byOpen);
        EXPECT_EQ(FileSizeBySearch(m_dir.File(c.name)), c.bySearch);
    }
    EXPECT_EQ(FileSizeByOpen(""), -1);
    EXPECT_EQ(FileSizeBySearch(""), 0);
}

TEST_F(FileQueries, SizesAboveFourGibibytesAreExact)
{
    // A sparse file: the size is real, the disk space is not used.
    const std::string path = m_dir.File("big.pdf");
    const std::int64_t size = (std::int64_t{5} << 30) + 7;
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    EXPECT_EQ(FileSizeByOpen(path), size);
    EXPECT_EQ(FileSizeBySearch(path), size);
}

TEST_F(FileQueries, ExistenceTellsFilesFromFolders)
{
    WriteFile(m_dir.File("book.txt"), "x");
    ASSERT_EQ(mkdir(m_dir.File("folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink(m_dir.File("book.txt").c_str(), m_dir.File("link.txt").c_str()), 0);

    EXPECT_TRUE(FileExists(m_dir.File("book.txt")));
    EXPECT_TRUE(FileExists(m_dir.File("link.txt")));
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
    EXPECT_TRUE(ForceDirectories(deep)); // an existing folder is fine

    WriteFile(m_dir.File("file"), "x");
    EXPECT_FALSE(ForceDirectories(m_dir.File("file/sub")));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST_F(FileQueries, RemoveFileNeverRemovesAFolder)
{
    WriteFile(m_dir.File("f"), "");
    ASSERT_EQ(mkdir(m_dir.File("d").c_str(), 0755), 0);
    EXPECT_TRUE(RemoveFile(m_dir.File("f")));
    EXPECT_FALSE(FileExists(m_dir.File("f")));
    EXPECT_FALSE(RemoveFile(m_dir.File("d")));
    EXPECT_TRUE(DirectoryExists(m_dir.File("d")));
    EXPECT_FALSE(RemoveFile(m_dir.File("missing")));
}

// Fixture: root with two files and a sub-folder with a file and a
// sub-sub-folder with a file.
class ScanFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(m_dir.File("a.pdf"), "x");
        WriteFile(m_dir.File("B.PDF"), "x");
        WriteFile(m_dir.File("c.txt"), "x");
        WriteFile(m_dir.File("noext"), "x");
        ASSERT_TRUE(ForceDirectories(m_dir.File("sub/deeper")));
        WriteFile(m_dir.File("sub/d.pdf"), "x");
        WriteFile(m_dir.File("sub/deeper/e.pdf"), "x");
    }

    std::vector<std::string> Scan(const std::string& mask, bool recurse, std::string folder = {})
    {
        std::vector<std::string> files;
        ScanFolder(folder.empty() ? m_dir.path() : folder, files, mask, recurse);
        return files;
    }

    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    TempDir m_dir;
};

TEST_F(ScanFolderTest, MaskComparesOnlyTheExtensionWithoutCase)
{
    const std::string root = m_dir.path() + "/";
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
    const std::vector<std::string> files = Scan("*.pdf", true, m_dir.path() + "/");
    ASSERT_EQ(files.size(), 4u);
    const std::string root = m_dir.path() + "/";
    EXPECT_EQ(Sorted({files[0], files[1]}), (std::vector<std::string>{root + "B.PDF", root + "a.pdf"}));
    EXPECT_EQ(files[2], root + "sub/d.pdf");
    EXPECT_EQ(files[3], root + "sub/deeper/e.pdf");
}

TEST_F(ScanFolderTest, AppendsAndLeavesMissingFoldersAlone)
{
    std::vector<std::string> files{"kept"};
    ScanFolder(m_dir.File("missing"), files, "*.*", true);
    EXPECT_EQ(files, std::vector<std::string>{"kept"});
    ScanFolder(m_dir.File("sub/deeper"), files, "*.*", false);
    EXPECT_EQ(files, (std::vector<std::string>{"kept", m_dir.File("sub/deeper/e.pdf")}));
}

TEST_F(ScanFolderTest, LinkToAFolderIsNeitherListedNorFollowed)
{
    // A link back to the root would otherwise make the scan endless.
    ASSERT_EQ(symlink(m_dir.path().c_str(), m_dir.File("sub/loop").c_str()), 0);
    const std::vector<std::string> files = Scan("*.*", true);
    EXPECT_EQ(files.size(), 6u);
    EXPECT_EQ(std::count_if(files.begin(), files.end(),
                            [](const std::string& f) { return f.find("loop") != std::string::npos; }),
              0);
}

} // namespace
} // namespace kelvra
