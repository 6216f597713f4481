#include "i18n/language.h"

#include "core/paths.h"
#include "i18n/ini_file.h"

#include <QStringDecoder>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kelvra {

namespace {

constexpr std::string_view kDefaultLanguageFile = "English.lng";

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool EndsWithLngExtension(std::string_view name)
{
    return name.size() >= 4 && LowerTrim(name.substr(name.size() - 4)) == ".lng";
}

} // namespace

std::string ChooseLanguageFile(std::string_view registryPath, std::string_view appFolder, const RegistryFactory& registry)
{
    std::string result(kDefaultLanguageFile);
    const std::size_t split = registryPath.rfind('\\');
    const std::string_view keyPath = split == std::string_view::npos ? std::string_view() : registryPath.substr(0, split);
    const std::string_view valueName = split == std::string_view::npos ? registryPath : registryPath.substr(split + 1);
    try {
        const std::unique_ptr<RegistryStore> store = registry();
        if (store->OpenKeyReadOnly(keyPath))
            result = store->ReadString(valueName);
    } catch (const RegistryError&) {
        // An unreadable registry means the default language.
    }
    if (!EndsWithLngExtension(result))
        result += ".lng";
    const std::string folder = AddTrailingBackslash(appFolder);
    result = folder + result;
    if (!FileExists(result))
        result = folder + std::string(kDefaultLanguageFile);
    return result;
}

bool LoadLanguageStrings(std::span<QString> table, int highestIndex, const std::string& file, std::string_view section)
{
    const IniFile ini(file);
    const int last = std::min(highestIndex, static_cast<int>(table.size()) - 1);
    for (int index = 0; index <= last; ++index) {
        const std::string value = ini.ReadString(section, std::to_string(index), {});
        if (!value.empty())
            table[static_cast<std::size_t>(index)] = ExpandLineBreaks(DecodeLanguageText(value));
    }
    return true;
}

QString DecodeLanguageText(std::string_view text)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (!decoder.hasError())
        return decoded;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ExpandLineBreaks(const QString& text)
{
    return QString(text).replace(QLatin1String("||"), QLatin1String("\r\n"));
}

} // namespace kelvra
