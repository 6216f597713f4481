#include "platform/registry_file.h"
#include "platform/registry_store.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvra {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::string ConfigHome()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config";
    if (const passwd* entry = getpwuid(getuid()))
        return std::string(entry->pw_dir) + "/.config";
    return "/tmp";
}

// Closes a descriptor when the scope ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Reads the whole file. nullopt when it does not exist (also when a file
// stands where a folder of its path belongs); throws the cause for any other
// failure.
std::optional<std::string> ReadFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        throw std::runtime_error(SystemError("cannot open " + path));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw std::runtime_error(SystemError("cannot read " + path));
        if (count == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

void MakeFolder(const std::string& folder)
{
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw std::runtime_error(SystemError("cannot create folder " + partial));
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw std::runtime_error("cannot create folder " + folder + ": a file of that name is in the way");
}

// Writes `bytes` to a new file with O_EXCL and makes it durable.
bool WriteNewFile(const std::string& path, std::string_view bytes, bool exclusive)
{
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    FileDescriptor fd(::open(path.c_str(), flags, 0600));
    return fd.get() >= 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
}

void SyncFolder(const std::string& folder)
{
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

// Holds an exclusive flock on the lock file for the life of the object.
class StoreLock {
public:
    explicit StoreLock(const std::string& lockPath)
        : m_fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd.get() < 0)
            throw std::runtime_error(SystemError("cannot open lock file " + lockPath));
        while (::flock(m_fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                throw std::runtime_error(SystemError("cannot lock " + lockPath));
        }
    }

private:
    FileDescriptor m_fd; // closing the descriptor releases the lock
};

std::string DamageMessage(const std::string& file, const RegistryDamage& damage)
{
    return "The settings file \"" + file + "\" is damaged at line " + std::to_string(damage.line) + ": " + damage.reason
        + ". A copy of it is kept beside it before it is next saved.";
}

// Normalises a key path below HKEY_CURRENT_USER to the full path of the file,
// or nullopt for a path that no key can have (empty parts, line breaks).
std::optional<std::string> FullKeyPath(std::string_view key)
{
    const std::optional<std::string> below = KeyPathBelowRoot(key);
    if (!below)
        return std::nullopt;
    std::string path(kRoot);
    if (!below->empty())
        path += "\\" + *below;
    return path;
}

class PosixRegistryStore final : public RegistryStore {
public:
    PosixRegistryStore()
        : m_folder(ConfigHome() + "/Tarnwick"), m_file(m_folder + "/registry.reg")
    {
    }

    bool OpenKey(std::string_view key, bool canCreate) override { return Open(key, canCreate, false); }
    bool OpenKeyReadOnly(std::string_view key) override { return Open(key, false, true); }

    void CloseKey() override { m_keyPath.reset(); }

    bool ValueExists(std::string_view name) const override { return Lookup(name) != nullptr; }

    RegDataType GetDataType(std::string_view name) const override
    {
        const RegistryValue* value = Lookup(name);
        return value ? static_cast<RegDataType>(value->type) : RegDataType::None;
    }

    int GetDataSize(std::string_view name) const override
    {
        const RegistryValue* value = Lookup(name);
        return value ? static_cast<int>(value->data.size()) : -1;
    }

    std::int32_t ReadInteger(std::string_view name) const override
    {
        const RegistryValue* value = Lookup(name);
        if (!value || value->type != static_cast<std::uint32_t>(RegDataType::Integer) || value->data.size() != 4)
            throw InvalidType(name);
        return static_cast<std::int32_t>(DwordValue(value->data));
    }

    std::string ReadString(std::string_view name) const override
    {
        const RegistryValue* value = Lookup(name);
        if (!value)
            return {};
        const auto type = static_cast<RegDataType>(value->type);
        if (type != RegDataType::String && type != RegDataType::ExpandString)
            throw InvalidType(name);
        return StringValue(value->data);
    }

    std::string ReadBinaryData(std::string_view name) const override
    {
        const RegistryValue* value = Lookup(name);
        if (!value || value->type != static_cast<std::uint32_t>(RegDataType::Binary))
            throw InvalidType(name);
        return value->data;
    }

    void WriteInteger(std::string_view name, std::int32_t value) override
    {
        Write(name, RegDataType::Integer, DwordData(static_cast<std::uint32_t>(value)));
    }

    void WriteString(std::string_view name, std::string_view value) override
    {
        Write(name, RegDataType::String, StringData(value));
    }

    void WriteExpandString(std::string_view name, std::string_view value) override
    {
        Write(name, RegDataType::ExpandString, StringData(value));
    }

    void WriteBinaryData(std::string_view name, std::string_view bytes) override
    {
        Write(name, RegDataType::Binary, std::string(bytes));
    }

    void BeginWrites() override { m_collecting = true; }

    void CommitWrites() override
    {
        m_collecting = false;
        std::vector<PendingWrite> writes;
        writes.swap(m_pending);
        if (!writes.empty())
            Store(writes);
    }

private:
    // A value to be written into the key `keyPath`.
    struct PendingWrite {
        std::string keyPath;
        std::string name;
        std::uint32_t type = 0;
        std::string data;
    };

    bool Open(std::string_view key, bool canCreate, bool readOnly)
    {
        m_keyPath.reset();
        const auto path = FullKeyPath(key);
        if (!path)
            return false;
        LoadSnapshot();
        if (!canCreate && !m_snapshot.FindKey(*path)) {
            // A key that may have stood in the unreadable part is not
            // reported as missing.
            if (const RegistryDamage* damage = DamageFor(*path))
                throw RegistryError(DamageMessage(m_file, *damage));
            return false;
        }
        m_keyPath = *path;
        m_readOnly = readOnly;
        return true;
    }

    void LoadSnapshot()
    {
        std::optional<std::string> text;
        try {
            text = ReadFile(m_file);
        } catch (const std::runtime_error& error) {
            throw RegistryError("Cannot read the settings file \"" + m_file + "\"", error.what());
        }
        m_snapshot = text ? ParseRegistryText(*text) : RegistryDocument {};
    }

    // The first damage that may have cost the key `path` values, or null.
    const RegistryDamage* DamageFor(const std::string& path) const
    {
        for (const RegistryDamage& damage : m_snapshot.damage) {
            if (damage.keyPath.empty() || RegistryNamesEqual(damage.keyPath, path))
                return &damage;
        }
        return nullptr;
    }

    // The value, or null when the key has none. A value that is missing
    // where the file is damaged may have been lost there, so that case is
    // reported as the damage rather than as "no value".
    const RegistryValue* Lookup(std::string_view name) const
    {
        if (!m_keyPath)
            return nullptr;
        const RegistryKey* key = m_snapshot.FindKey(*m_keyPath);
        const RegistryValue* value = key ? key->FindValue(name) : nullptr;
        if (!value) {
            if (const RegistryDamage* damage = DamageFor(*m_keyPath))
                throw RegistryError(DamageMessage(m_file, *damage));
        }
        return value;
    }

    static RegistryError InvalidType(std::string_view name)
    {
        return RegistryError("Invalid data type for '" + std::string(name) + "'");
    }

    static RegistryError WriteFailure(std::string_view name, const std::string& detail)
    {
        return RegistryError("Failed to set data for '" + std::string(name) + "'", detail);
    }

    void Write(std::string_view name, RegDataType type, std::string data)
    {
        if (!m_keyPath)
            throw WriteFailure(name, "no key is open");
        if (m_readOnly)
            throw WriteFailure(name, "the key was opened for reading only");
        if (name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
            throw WriteFailure(name, "a value name cannot hold a line break or a zero byte");
        PendingWrite write { *m_keyPath, std::string(name), static_cast<std::uint32_t>(type), std::move(data) };
        if (m_collecting)
            m_pending.push_back(std::move(write));
        else
            Store({ std::move(write) });
    }

    void Store(const std::vector<PendingWrite>& writes)
    {
        try {
            Transaction([&](RegistryDocument& document) {
                for (const PendingWrite& write : writes)
                    document.ProvideKey(write.keyPath).SetValue(write.name, write.type, write.data);
            });
        } catch (const std::runtime_error& error) {
            throw WriteFailure(writes.front().name, error.what());
        }
    }

    // Lock, read afresh, keep a copy of a damaged file, change, replace
    // atomically. The accessor then reads what it wrote.
    void Transaction(const std::function<void(RegistryDocument&)>& change)
    {
        MakeFolder(m_folder);
        StoreLock lock(m_file + ".lock");
        const std::optional<std::string> text = ReadFile(m_file);
        RegistryDocument document = text ? ParseRegistryText(*text) : RegistryDocument {};
        if (!document.damage.empty())
            KeepDamagedCopy(*text);
        change(document);
        const std::string temporary = m_file + ".tmp";
        if (!WriteNewFile(temporary, FormatRegistryText(document), false)) {
            const std::string cause = SystemError("cannot write " + temporary);
            ::unlink(temporary.c_str());
            throw std::runtime_error(cause);
        }
        if (::rename(temporary.c_str(), m_file.c_str()) != 0) {
            const std::string cause = SystemError("cannot replace " + m_file);
            ::unlink(temporary.c_str());
            throw std::runtime_error(cause);
        }
        SyncFolder(m_folder);
        document.damage.clear();
        m_snapshot = std::move(document);
    }

    void KeepDamagedCopy(const std::string& text) const
    {
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local {};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        const std::string base = m_file + ".damaged-" + stamp;
        for (int attempt = 1; attempt < 1000; ++attempt) {
            const std::string copy = attempt == 1 ? base : base + "-" + std::to_string(attempt);
            if (WriteNewFile(copy, text, true))
                return;
            if (errno != EEXIST)
                throw std::runtime_error(SystemError("cannot keep a copy of the damaged file as " + copy));
        }
        throw std::runtime_error("cannot keep a copy of the damaged file " + m_file);
    }

    std::string m_folder;
    std::string m_file;
    RegistryDocument m_snapshot;
    std::optional<std::string> m_keyPath;
    bool m_readOnly = false;
    bool m_collecting = false;
    std::vector<PendingWrite> m_pending;
};

} // namespace

std::unique_ptr<RegistryStore> CreateUserRegistry()
{
    return std::make_unique<PosixRegistryStore>();
}

std::string UserRegistryFilePath()
{
    return ConfigHome() + "/Tarnwick/registry.reg";
}

} // namespace kelvra
