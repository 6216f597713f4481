#include "platform/file_release.h"
#include "platform/posix/open_writers_posix.h"

#include "tests/hotdir/hotdir_test_support.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {
namespace {

using test::TempFolder;
using test::WriteFile;

struct stat StatOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

TEST(FileRelease, OnlyARegularFileWithoutWriterIsReleased)
{
    TempFolder temp;
    WriteFile(temp / "closed.pdf", "x");
    ASSERT_EQ(::mkfifo((temp / "pipe.pdf").c_str(), 0600), 0);
    // Opening a pipe that has no writer would block a blocking open.
    EXPECT_FALSE(IsFileReleased(temp / "pipe.pdf"));
    EXPECT_TRUE(IsFileReleased(temp / "closed.pdf"));
    EXPECT_FALSE(IsFileReleased(temp.path()));
    EXPECT_FALSE(IsFileReleased(temp / "missing.pdf"));
    EXPECT_FALSE(IsFileReleased("/dev/null"));
}

TEST(FileRelease, AWriterInAnotherProcessHoldsTheFile)
{
    TempFolder temp;
    const std::string path = temp / "held.pdf";
    WriteFile(path, "x");
    QProcess writer;
    writer.start("sh", {"-c", "exec 3>>\"$0\"; echo open; exec sleep 30", QString::fromStdString(path)});
    ASSERT_TRUE(writer.waitForReadyRead(10000));
    const struct stat info = StatOf(path);

    EXPECT_FALSE(IsFileReleased(path));
    EXPECT_TRUE(AnyProcessWritesFile(info.st_dev, info.st_ino));
    EXPECT_TRUE(AnyProcessWritesFileRecently(info.st_dev, info.st_ino));

    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(10000));
    EXPECT_TRUE(IsFileReleased(path));
    EXPECT_FALSE(AnyProcessWritesFile(info.st_dev, info.st_ino));
    QThread::msleep(250); // the shared scan is renewed after 200 ms
    EXPECT_FALSE(AnyProcessWritesFileRecently(info.st_dev, info.st_ino));
}

TEST(FileRelease, AReaderDoesNotHoldTheFileAndTheTestLeavesNoLease)
{
    TempFolder temp;
    const std::string path = temp / "read.pdf";
    WriteFile(path, "x");
    const int reader = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(IsFileReleased(path));
    ::close(reader);
    // A lease left behind would make this open wait for its break.
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    EXPECT_GE(writer, 0) << "a lease is still held";
    EXPECT_FALSE(IsFileReleased(path));
    const struct stat info = StatOf(path);
    EXPECT_TRUE(AnyProcessWritesFile(info.st_dev, info.st_ino)) << "this process's own writer";
    ::close(writer);
}

} // namespace
} // namespace kelvra
