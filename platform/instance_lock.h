#pragma once

// Admits one running instance of a program per user: the first process that
// takes the lock of a name holds it until it ends (also by a crash, when the
// system drops it); a second one finds it taken. Stands in for a named mutex.
//
// On Linux: an exclusive flock on "<name>.lock" in $XDG_RUNTIME_DIR, or, when
// that is not set, in a folder of this user's own under /tmp
// ("kelvra-<uid>", mode 0700). The descriptor is closed on exec, so programs
// the instance starts do not inherit the lock.
// On Windows: the named mutex `name` itself (CreateMutexA without taking
// ownership); InstanceLockPath gives that name.
// The object is owned by the program main and lives as long as the process;
// main thread only.

#include <memory>
#include <string>

namespace kelvra {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;

    /// True when another process already held the lock when this one was
    /// created (this object then holds nothing).
    virtual bool AlreadyRunning() const = 0;
};

/// Takes the lock of `name` if it is free. Throws std::runtime_error with the
/// lock file's path and the system's reason when the lock file cannot be
/// created or locked for a reason other than being held elsewhere.
std::unique_ptr<InstanceLock> CreateInstanceLock(const std::string& name);

/// Full path of the lock file of `name` (for messages and tests).
std::string InstanceLockPath(const std::string& name);

} // namespace kelvra
