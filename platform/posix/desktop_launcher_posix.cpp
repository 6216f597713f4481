// The shell launcher on a Linux desktop: file manager through D-Bus, the rest
// through the desktop's default handlers.

#include "platform/desktop_services.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <vector>

namespace kelvra {
namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string Unquote(const std::string& text)
{
    std::string result;
    for (char c : text)
        if (c != '"')
            result += c;
    return result;
}

// Splits explorer's parameters at the commas that stand outside quotes.
std::vector<std::string> SplitSwitches(const std::string& parameters)
{
    std::vector<std::string> pieces(1);
    bool quoted = false;
    for (char c : parameters) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted)
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

bool HasScheme(const std::string& text)
{
    // "https://...", "mailto:..."; a single letter before ":" is a drive.
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    return std::all_of(text.begin(), text.begin() + colon,
                       [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; });
}

std::string Absolute(const std::string& path, const std::string& appFolder)
{
    if (path.empty() || path.front() == '/')
        return path;
    return appFolder + path;
}

// explorer's own switches; any other text is a path (on this system paths
// begin with "/" as well).
bool IsExplorerSwitch(const std::string& token)
{
    const std::string name = Lower(token);
    return name == "/n" || name == "/e" || name == "/select" || name == "/root" || name == "/separate";
}

DesktopLaunch Explorer(const std::string& parameters, const std::string& appFolder)
{
    const std::string whole = Unquote(Trim(parameters));
    if (!whole.empty() && QFileInfo::exists(QString::fromStdString(Absolute(whole, appFolder))))
        return {DesktopLaunch::Kind::OpenPath, Absolute(whole, appFolder)};
    bool select = false;
    bool rootNext = false;
    for (const std::string& piece : SplitSwitches(parameters)) {
        const std::string token = Trim(piece);
        if (rootNext) {
            rootNext = false;
            continue;
        }
        if (IsExplorerSwitch(token)) {
            const std::string name = Lower(token);
            select = select || name == "/select";
            rootNext = name == "/root";
            continue;
        }
        const std::string path = Unquote(token);
        if (path.empty())
            continue;
        return {select ? DesktopLaunch::Kind::ShowItem : DesktopLaunch::Kind::OpenPath, Absolute(path, appFolder)};
    }
    return {};
}

void ShowItemInFileManager(const std::string& path)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QString::fromStdString(path)).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        // No file manager service: open the item's folder instead.
        const QFileInfo item(QString::fromStdString(path));
        QDesktopServices::openUrl(QUrl::fromLocalFile(item.absolutePath()));
    }
}

class DesktopLauncher final : public ShellLauncher {
public:
    explicit DesktopLauncher(std::string appFolder)
        : m_appFolder(std::move(appFolder))
    {
    }

    void LaunchProgram(const std::string& file, const std::string& parameters) override
    {
        const DesktopLaunch launch = DescribeShellLaunch(file, parameters, m_appFolder);
        switch (launch.kind) {
        case DesktopLaunch::Kind::ShowItem:
            ShowItemInFileManager(launch.target);
            break;
        case DesktopLaunch::Kind::OpenPath:
            QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(launch.target)));
            break;
        case DesktopLaunch::Kind::OpenUrl:
            QDesktopServices::openUrl(QUrl(QString::fromStdString(launch.target)));
            break;
        case DesktopLaunch::Kind::Nothing:
            break;
        }
    }

private:
    std::string m_appFolder;
};

} // namespace

DesktopLaunch DescribeShellLaunch(const std::string& file, const std::string& parameters, const std::string& appFolder)
{
    const std::string program = Lower(Trim(file));
    if (program == "explorer.exe" || program == "explorer")
        return Explorer(parameters, appFolder);
    if (program == "notepad.exe" || program == "notepad") {
        const std::string path = Unquote(Trim(parameters));
        if (path.empty())
            return {};
        return {DesktopLaunch::Kind::OpenPath, Absolute(path, appFolder)};
    }
    const std::string target = Trim(file);
    if (target.empty())
        return {};
    if (HasScheme(target))
        return {DesktopLaunch::Kind::OpenUrl, target};
    return {DesktopLaunch::Kind::OpenPath, Absolute(Unquote(target), appFolder)};
}

std::unique_ptr<ShellLauncher> CreateDesktopLauncher(const std::string& appFolder)
{
    return std::make_unique<DesktopLauncher>(appFolder);
}

} // namespace kelvra
