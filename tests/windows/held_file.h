#pragma once

// A file held open the way another program holds it, for tests of sharing
// modes; the handle is closed when the object goes.

#include <windows.h>

#include <string>

namespace kelvra::test {

class HeldFile {
public:
    HeldFile(const std::string& path, DWORD access, DWORD share)
        : m_handle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~HeldFile()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace kelvra::test
