// The release test by sharing modes: an open that denies other writers.

#include "platform/file_release.h"

#include "tests/support/test_files.h"
#include "tests/windows/held_file.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::HeldFile;

TEST(IsFileReleased, OnlyWhileNoHandleWrites)
{
    test::TempDir dir;
    const std::string path = dir.File("book.pdf");
    test::WriteFile(path, "content");
    struct Case {
        const char* name;
        DWORD access;
        DWORD share;
        bool released;
    };
    const Case cases[] = {
        {"writer_sharing_everything", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false},
        {"writer_sharing_reading", GENERIC_WRITE, FILE_SHARE_READ, false},
        {"exclusive_reader", GENERIC_READ, 0, false},
        {"reader_sharing_reading", GENERIC_READ, FILE_SHARE_READ, true},
        {"attributes_only", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            HeldFile held(path, c.access, c.share);
            ASSERT_TRUE(held.valid());
            EXPECT_EQ(IsFileReleased(path), c.released);
        }
        EXPECT_TRUE(IsFileReleased(path)); // the handle is closed again
    }
}

TEST(IsFileReleased, NothingButAnExistingFileCounts)
{
    test::TempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.File("folder").c_str(), nullptr));
    for (const std::string& path : {dir.File("missing.pdf"), dir.File("folder"), std::string("NUL"), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(IsFileReleased(path));
    }
}

} // namespace
} // namespace kelvra
