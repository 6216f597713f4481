// File queries and the folder scan on POSIX systems: pipes, sparse files and
// symbolic links. The cases every system shares are in file_info_test.cpp.

#include "core/file_info.h"

#include "tests/core/file_info_fixtures.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {
namespace {

using test::WriteFile;

TEST_F(FileQueries, APipeIsNoFile)
{
    ASSERT_EQ(mkfifo(m_dir.File("pipe").c_str(), 0644), 0);
    // Opening must neither block nor count it.
    EXPECT_EQ(FileSizeByOpen(m_dir.File("pipe")), -1);
    EXPECT_EQ(FileSizeBySearch(m_dir.File("pipe")), 0);
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

TEST_F(FileQueries, ALinkToAFileCountsAsThatFile)
{
    WriteFile(m_dir.File("book.txt"), "x");
    ASSERT_EQ(symlink(m_dir.File("book.txt").c_str(), m_dir.File("link.txt").c_str()), 0);
    EXPECT_TRUE(FileExists(m_dir.File("link.txt")));
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
