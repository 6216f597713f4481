// The single-instance lock as a named mutex.

#include "platform/instance_lock.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(InstanceLock, TheFirstHolderWinsUntilItsMutexIsGone)
{
    const std::string name = "Kelvra Converter test " + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(InstanceLockPath(name), name);
    {
        auto first = CreateInstanceLock(name);
        EXPECT_FALSE(first->AlreadyRunning());
        // The kernel object exists under exactly that name.
        HANDLE probe = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
        EXPECT_NE(probe, nullptr);
        if (probe)
            CloseHandle(probe);

        auto second = CreateInstanceLock(name);
        EXPECT_TRUE(second->AlreadyRunning());
        auto third = CreateInstanceLock(name);
        EXPECT_TRUE(third->AlreadyRunning());
    }
    // Every handle is closed again: the next start is the first once more.
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
    EXPECT_FALSE(CreateInstanceLock(name)->AlreadyRunning());
}

TEST(InstanceLock, ANameTheSystemRefusesIsAnError)
{
    // A backslash names a namespace; one that does not exist cannot hold it.
    EXPECT_THROW(CreateInstanceLock("NoSuchNamespace\\Kelvra Converter"), std::runtime_error);
}

} // namespace
} // namespace kelvra
