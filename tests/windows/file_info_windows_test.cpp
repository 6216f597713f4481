// File queries on Windows: patterns and devices, sharing modes, sparse
// files, names without letter case and forward slashes. The cases every
// system shares are in tests/core/file_info_test.cpp.

#include "core/file_info.h"

#include "tests/core/file_info_fixtures.h"
#include "tests/support/test_files.h"
#include "tests/windows/held_file.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::HeldFile;
using test::WriteFile;

TEST_F(FileQueries, PatternsAndDevicesAreNoFiles)
{
    WriteFile(m_dir.File("five.txt"), "12345");
    // A pattern names no file, though five.txt matches it.
    EXPECT_EQ(FileSizeByOpen(m_dir.File("f*.txt")), -1);
    EXPECT_EQ(FileSizeBySearch(m_dir.File("f*.txt")), 0);
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

TEST_F(FileQueries, NamesIgnoreLetterCase)
{
    WriteFile(m_dir.File("book.txt"), "x");
    EXPECT_TRUE(FileExists(m_dir.File("BOOK.TXT")));
}

TEST_F(FileQueries, ForceDirectoriesTakesForwardSlashes)
{
    // Forward slashes delimit for the system as well.
    EXPECT_TRUE(ForceDirectories(m_dir.path() + "/e/f"));
    EXPECT_TRUE(DirectoryExists(m_dir.File("e/f")));
}

} // namespace
} // namespace kelvra
