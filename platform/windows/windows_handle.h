#pragma once

// Small helpers shared by the Windows services: an owner of a kernel handle
// and the system's text for an error code.

#include <windows.h>

#include <string>

namespace kelvra {

/// Owns one kernel handle and closes it when it goes. Both null and
/// INVALID_HANDLE_VALUE count as "no handle".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) { }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) { }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Release()
    {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void Reset(HANDLE handle = nullptr)
    {
        if (Valid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

/// The system's message for `error` (as GetLastError returns it), without the
/// trailing line break; "Error <n>" when the system has no text for it.
std::string SystemMessage(DWORD error);

} // namespace kelvra
