#include "platform/directory_watch.h"
#include "platform/windows/windows_handle.h"

#include <cstddef>
#include <cstring>

namespace kelvra {

namespace {

// Names created, renamed, written or given a new creation time, in the folder
// and, when asked, its whole tree: FILE_NOTIFY_CHANGE_FILE_NAME |
// FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
// FILE_NOTIFY_CHANGE_CREATION.
constexpr DWORD kNotifyFilter = 0x53;
static_assert(kNotifyFilter == (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION));

// One request's records: 4096 + 1 bytes, DWORD-aligned as the call requires.
constexpr DWORD kChangeBufferSize = 4097;

// Completion key of the watch's own requests; Wake posts key 0.
constexpr ULONG_PTR kChangeKey = 1;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string JoinRelative(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + '\\' + name;
}

std::string FullPath(const std::string& root, const std::string& relative)
{
    if (relative.empty())
        return root;
    if (!root.empty() && (root.back() == '\\' || root.back() == '/' || root.back() == ':'))
        return root + relative;
    return root + '\\' + relative;
}

// A name from a change record (UTF-16) in the system code page.
std::string NarrowName(const wchar_t* name, int length)
{
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, name, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, name, length, text.data(), size, nullptr, nullptr);
    return text;
}

/// The change source over ReadDirectoryChangesW: one request outstanding on
/// the folder handle, its completion delivered to an I/O completion port.
/// Opened by the thread that starts watching; afterwards WaitForChanges runs
/// on one worker thread only, which alone touches the buffer and issues the
/// requests. Wake posts a packet with completion key 0 to the port.
/// The system watches a whole tree by itself, so sub-folders need no watches
/// of their own and nothing written into a new sub-folder is missed.
class WindowsDirectoryWatch final : public DirectoryWatch {
public:
    WindowsDirectoryWatch(std::string root, bool subtree) : m_root(std::move(root)), m_subtree(subtree)
    {
        m_directory.Reset(CreateFileA(m_root.c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
        if (!m_directory.Valid())
            throw DirectoryWatchError(SystemMessage(GetLastError()), false);
        const DWORD attributes = GetFileAttributesA(m_root.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw DirectoryWatchError(SystemMessage(ERROR_DIRECTORY), true);
        m_port.Reset(CreateIoCompletionPort(m_directory.Get(), nullptr, kChangeKey, 0));
        if (!m_port.Valid())
            throw DirectoryWatchError(SystemMessage(GetLastError()), false);
        if (!IssueRequest())
            throw DirectoryWatchError(SystemMessage(GetLastError()), false);
    }

    ~WindowsDirectoryWatch() override
    {
        // The system must be done with the buffer before it goes.
        if (m_requestPending && CancelIoEx(m_directory.Get(), &m_overlapped)) {
            DWORD ignored = 0;
            GetOverlappedResult(m_directory.Get(), &m_overlapped, &ignored, TRUE);
        }
    }

    bool WaitForChanges(std::vector<DirectoryChange>& changes) override
    {
        changes.clear();
        while (changes.empty()) {
            if (m_ended)
                return false;
            DWORD bytes = 0;
            ULONG_PTR key = 0;
            OVERLAPPED* overlapped = nullptr;
            const BOOL ok = GetQueuedCompletionStatus(m_port.Get(), &bytes, &key, &overlapped, INFINITE);
            const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
            if (overlapped == nullptr && (key == 0 || !ok)) {
                m_ended = true; // Wake, or the port itself failed
                return false;
            }
            m_requestPending = false;
            if (error == ERROR_NOTIFY_ENUM_DIR || (ok && bytes == 0)) {
                // The system dropped records: the owner lists the tree again.
                changes.push_back({DirectoryChangeKind::Overflow, std::string()});
            } else if (!ok) {
                // The folder is gone or the request failed: nothing more comes.
                m_ended = true;
                return false;
            } else {
                Decode(bytes, changes);
            }
            if (!IssueRequest()) {
                m_ended = true; // report what arrived; the next wait ends
                return !changes.empty();
            }
        }
        return true;
    }

    void Wake() override { PostQueuedCompletionStatus(m_port.Get(), 0, 0, nullptr); }

    std::vector<WatchedFile> ListFiles() const override
    {
        std::vector<WatchedFile> files;
        ListFilesBelow(std::string(), files);
        return files;
    }

private:
    bool IssueRequest()
    {
        m_overlapped = OVERLAPPED{};
        std::memset(m_buffer, 0, sizeof m_buffer);
        m_bytesReturned = 0;
        m_requestPending = ReadDirectoryChangesW(m_directory.Get(), m_buffer, kChangeBufferSize, m_subtree,
                                                 kNotifyFilter, &m_bytesReturned, &m_overlapped, nullptr) != 0;
        return m_requestPending;
    }

    // Walks the chain of FILE_NOTIFY_INFORMATION records, never past `bytes`.
    void Decode(DWORD bytes, std::vector<DirectoryChange>& changes) const
    {
        std::size_t offset = 0;
        for (;;) {
            if (offset + offsetof(FILE_NOTIFY_INFORMATION, FileName) > bytes)
                return;
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(m_buffer + offset);
            const std::size_t nameEnd = offset + offsetof(FILE_NOTIFY_INFORMATION, FileName) + record->FileNameLength;
            if (nameEnd <= bytes) {
                const std::string name =
                    NarrowName(record->FileName, static_cast<int>(record->FileNameLength / sizeof(wchar_t)));
                if (!name.empty()) {
                    switch (record->Action) {
                    case FILE_ACTION_ADDED:
                    case FILE_ACTION_MODIFIED:
                        changes.push_back({DirectoryChangeKind::AddedOrModified, name});
                        break;
                    case FILE_ACTION_RENAMED_NEW_NAME:
                        changes.push_back({DirectoryChangeKind::RenamedNewName, name});
                        break;
                    default:
                        break; // removals and old names are of no interest
                    }
                }
            }
            if (record->NextEntryOffset == 0)
                return;
            offset += record->NextEntryOffset;
        }
    }

    void ListFilesBelow(const std::string& relative, std::vector<WatchedFile>& files) const
    {
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA(FullPath(m_root, JoinRelative(relative, "*")).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = JoinRelative(relative, name);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // Linked folders are not followed, so a loop cannot make the walk endless.
                if (m_subtree && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    ListFilesBelow(child, files);
                continue;
            }
            FileVersion version;
            if (ReadFileVersion(FullPath(m_root, child), version))
                files.push_back({child, version});
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    const std::string m_root;
    const bool m_subtree;
    UniqueHandle m_directory;
    UniqueHandle m_port;
    OVERLAPPED m_overlapped{};
    DWORD m_bytesReturned = 0;
    bool m_requestPending = false;
    bool m_ended = false;
    alignas(DWORD) char m_buffer[kChangeBufferSize];
};

} // namespace

std::unique_ptr<DirectoryWatch> OpenDirectoryWatch(const std::string& folder, bool subtree)
{
    return std::make_unique<WindowsDirectoryWatch>(folder, subtree);
}

bool ReadFileVersion(const std::string& path, FileVersion& version)
{
    // From the directory entry alone: no handle is opened, so a writer that
    // wants the file to itself is never refused because of this look.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    version.modifiedNs = static_cast<std::int64_t>(ticks * 100); // 100 ns ticks since 1601
    version.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    version.device = 0;
    version.inode = 0;
    return true;
}

std::string WatchedFolderForm(std::string_view folder)
{
    // Lower-cased (A to Z) and trimmed of blanks and control characters:
    // names ignore letter case here, and every reported path starts so.
    std::size_t first = 0;
    std::size_t last = folder.size();
    while (first < last && static_cast<unsigned char>(folder[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(folder[last - 1]) <= 32)
        --last;
    std::string form;
    for (std::size_t i = first; i < last; ++i)
        form += LowerAscii(folder[i]);
    return form;
}

std::string WatchedPathKey(std::string_view path)
{
    std::string key(path);
    for (char& c : key)
        c = LowerAscii(c);
    return key;
}

} // namespace kelvra
