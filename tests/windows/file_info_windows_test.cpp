// File queries and the folder scan on Windows: sizes by open and by search,
// sharing modes, existence, folder creation from drive-rooted paths.

#include "core/file_info.h"

#include "tests/support/test_files.h"
#include "tests/windows/held_file.h"

#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::TempDir;
using test::HeldFile;
using test::WriteFile;

class FileQueries : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(FileQueries, SizesOfFilesFoldersAndMissingNames)
{
    WriteFile(m_dir.File("empty.txt"), "");
    WriteFile(m_dir.File("five.txt"), "12345");
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("folder").c_str(), nullptr));

    struct Case {
        const char* name;
        std::int64_t byOpen;
        std::int64_t bySearch;
    };
    const Case cases[] = {
        {"empty.txt", 0, 0}, {"five.txt", 5, 5}, {"missing", -1, 0}, {"folder", -1, 0},
        {"f*.txt", -1, 0}, // a pattern names no file, though five.txt matches it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileSizeByOpen(m_dir.File(c.name)), c.byOpen);
        EXPECT_EQ(FileSizeBySearch(m_dir.File(c.name)), c.bySearch);
    }
    EXPECT_EQ(FileSizeByOpen(""), -1);
    EXPECT_EQ(FileSizeBySearch(""), 0);
    EXPECT_EQ(FileSizeByOpen("NUL"), -1); // a device is no file
}

TEST_F(FileQueries, SizeByOpenAllowsNoSharingSizeBySearchStillAnswers)
{
    const std::string path = m_dir.File("held.pdf");
    WriteFile(path, "1234567");
    HeldFile writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.valid());
    EXPECT_EQ(FileSizeByOpen(path), -1);
    EXPECT_EQ(FileSizeBySearch(path), 7);
}

TEST_F(FileQueries, SizesAboveFourGibibytesAreExact)
{
    const std::string path = m_dir.File("big.pdf");
    const std::int64_t size = (std::int64_t{5} << 30) + 7;
    {
        HeldFile file(path, GENERIC_WRITE, 0);
        ASSERT_TRUE(file.valid());
        DWORD ignored = 0;
        // Sparse, so that no disk space is taken.
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = size;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_EQ(FileSizeByOpen(path), size);
    EXPECT_EQ(FileSizeBySearch(path), size);
}

TEST_F(FileQueries, ExistenceTellsFilesFromFolders)
{
    WriteFile(m_dir.File("book.txt"), "x");
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("folder").c_str(), nullptr));

    EXPECT_TRUE(FileExists(m_dir.File("book.txt")));
    EXPECT_TRUE(FileExists(m_dir.File("BOOK.TXT"))); // names ignore letter case here
    EXPECT_FALSE(FileExists(m_dir.File("folder")));
    EXPECT_FALSE(FileExists(m_dir.File("missing")));
    EXPECT_FALSE(FileExists(""));

    EXPECT_TRUE(DirectoryExists(m_dir.File("folder")));
    EXPECT_TRUE(DirectoryExists(m_dir.File("folder") + "\\"));
    EXPECT_FALSE(DirectoryExists(m_dir.File("book.txt")));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST_F(FileQueries, ForceDirectoriesCreatesEveryMissingParent)
{
    const std::string deep = m_dir.File("a/b c/d/");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(m_dir.File("a/b c/d")));
    EXPECT_TRUE(ForceDirectories(deep)); // an existing folder is fine
    // Forward slashes delimit for the system as well.
    EXPECT_TRUE(ForceDirectories(m_dir.path() + "/e/f"));
    EXPECT_TRUE(DirectoryExists(m_dir.File("e/f")));

    WriteFile(m_dir.File("file"), "x");
    EXPECT_FALSE(ForceDirectories(m_dir.File("file/sub")));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST_F(FileQueries, RemoveFileNeverRemovesAFolder)
{
    WriteFile(m_dir.File("f"), "");
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("d").c_str(), nullptr));
    EXPECT_TRUE(RemoveFile(m_dir.File("f")));
    EXPECT_FALSE(FileExists(m_dir.File("f")));
    EXPECT_FALSE(RemoveFile(m_dir.File("d")));
    EXPECT_TRUE(DirectoryExists(m_dir.File("d")));
    EXPECT_FALSE(RemoveFile(m_dir.File("missing")));
}

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

    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    TempDir m_dir;
};

TEST_F(ScanFolderTest, MaskComparesOnlyTheExtensionWithoutCase)
{
    const std::string root = m_dir.path() + "\\";
    struct Case {
        const char* mask;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"*.*", {root + "B.PDF", root + "a.pdf", root + "c.txt", root + "noext"}},
        {"*.PDF", {root + "B.PDF", root + "a.pdf"}},
        {"abc*.pdf", {root + "B.PDF", root + "a.pdf"}},
        {"*.epub", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        std::vector<std::string> files;
        ScanFolder(m_dir.path(), files, c.mask, false);
        EXPECT_EQ(Sorted(files), c.files);
    }
}

TEST_F(ScanFolderTest, RecursionListsParentFilesFirstDepthFirst)
{
    std::vector<std::string> files;
    ScanFolder(m_dir.path() + "\\", files, "*.pdf", true);
    ASSERT_EQ(files.size(), 4u);
    const std::string root = m_dir.path() + "\\";
    EXPECT_EQ(Sorted({files[0], files[1]}), (std::vector<std::string>{root + "B.PDF", root + "a.pdf"}));
    EXPECT_EQ(files[2], root + "sub\\d.pdf");
    EXPECT_EQ(files[3], root + "sub\\deeper\\e.pdf");
}

} // namespace
} // namespace kelvra
