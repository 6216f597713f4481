// The program kelvra as a whole, started as real processes: one instance per
// user, and the settings saved by every run.

#include "platform/instance_lock.h"
#include "platform/registry_store.h"
#include "settings/cd_settings.h"
#include "tests/gui/store_fixture.h"
#include "tests/support/test_files.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <unistd.h>

namespace kelvra {
namespace {

constexpr char kLockName[] = "Kelvra Converter";

TEST(InstanceLockTest, TheSecondHolderFindsTheLockTakenUntilTheFirstLetsGo)
{
    test::TempDir runtime;
    test::ScopedEnv env("XDG_RUNTIME_DIR", runtime.path());
    EXPECT_EQ(InstanceLockPath(kLockName), runtime.File("Kelvra Converter.lock"));
    auto first = CreateInstanceLock(kLockName);
    EXPECT_FALSE(first->AlreadyRunning());
    EXPECT_TRUE(CreateInstanceLock(kLockName)->AlreadyRunning());
    first.reset();
    EXPECT_FALSE(CreateInstanceLock(kLockName)->AlreadyRunning());
}

TEST(InstanceLockTest, WithoutARuntimeFolderAPrivateFolderUnderTmpIsUsed)
{
    test::ScopedEnv env("XDG_RUNTIME_DIR", std::nullopt);
    const std::string expected = "/tmp/kelvra-" + std::to_string(getuid()) + "/x-test.lock";
    EXPECT_EQ(InstanceLockPath("x-test"), expected);
    auto lock = CreateInstanceLock("x-test");
    EXPECT_FALSE(lock->AlreadyRunning());
}

TEST(InstanceLockTest, AnUnusableLockFileIsAnError)
{
    test::TempDir runtime;
    test::ScopedEnv env("XDG_RUNTIME_DIR", runtime.File("missing/folder"));
    EXPECT_THROW(CreateInstanceLock(kLockName), std::runtime_error);
}

// Starts kelvra offscreen with its own store and runtime folder.
class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(store.ConfigHome()));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.path()));
    }

    void TearDown() override
    {
        for (QProcess* process : {&first, &second})
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
    }

    void Start(QProcess& process)
    {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KELVRA_PROGRAM_PATH), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // True once `process` holds an exclusive flock, read from /proc/locks
    // so that looking never takes the lock itself.
    static bool HoldsLock(const QProcess& process)
    {
        QFile locks(QStringLiteral("/proc/locks"));
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QString pid = QString::number(process.processId());
        for (const QByteArray& line : locks.readAll().split('\n')) {
            const QStringList fields = QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (fields.size() > 4 && fields[1] == "FLOCK" && fields[3] == "WRITE" && fields[4] == pid)
                return true;
        }
        return false;
    }

    test::StoreFixture store;
    test::TempDir runtime;
    QProcessEnvironment environment;
    QProcess first;
    QProcess second;
};

TEST_F(ProgramStartTest, ASecondStartEndsSilentlyAndStillSavesItsSettings)
{
    Start(first);
    QDeadlineTimer deadline(20000);
    while (!HoldsLock(first) && !deadline.hasExpired() && first.state() == QProcess::Running)
        QThread::msleep(50);
    ASSERT_TRUE(HoldsLock(first)) << "the first instance never took the lock";
    // Nothing has been saved yet: the first instance saves when it ends.
    EXPECT_EQ(store.Open(kAppSettingsKey), nullptr);

    Start(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    // The second run wrote back what it read: here, on an empty store, every
    // setting with its first value.
    auto saved = store.Open(kAppSettingsKey);
    ASSERT_NE(saved, nullptr);
    for (const char* name : {"LogDir", "Indir", "OutDir", "SubDir", "SavePath", "MUseOption", "MVerbose", "MPixelW",
                             "MPixelH", "MLoop", "Applocation"})
        EXPECT_TRUE(saved->ValueExists(name)) << name;
    EXPECT_EQ(saved->ReadString("Applocation"), KELVRA_PROGRAM_PATH);
}

TEST_F(ProgramStartTest, AFirstRunEndedByTheSystemSavesEverySetting)
{
    Start(first);
    QDeadlineTimer deadline(20000);
    while (!HoldsLock(first) && !deadline.hasExpired() && first.state() == QProcess::Running)
        QThread::msleep(50);
    ASSERT_TRUE(HoldsLock(first));
    EXPECT_EQ(store.Open(kAppSettingsKey), nullptr);

    first.terminate(); // SIGTERM, as at logout
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
    auto saved = store.Open(kAppSettingsKey);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->ReadInteger("MVerbose"), 1);
    EXPECT_EQ(saved->ReadString("MPixelH"), "0");
    EXPECT_TRUE(saved->ValueExists("SavePath"));
}

} // namespace
} // namespace kelvra
