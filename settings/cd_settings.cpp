#include "settings/cd_settings.h"

#include "core/app_folders.h"
#include "core/paths.h"

#include <stdexcept>

namespace kelvra {
namespace {

TcdSettings* g_appSettings = nullptr;

} // namespace

TcdSettings::TcdSettings()
    : TBaseSettings(nullptr)
{
    m_savePath = QString::fromStdString(AddTrailingBackslash(DocumentsFolder())) + QStringLiteral("Kelvra Converter");
    m_pixelW = QStringLiteral("0");
    m_pixelH = QStringLiteral("0");
    m_applocation = QString::fromStdString(ApplicationFileName());
}

TcdSettings::~TcdSettings()
{
    BeforeDestruction();
}

TcdSettings& AppSettings()
{
    if (g_appSettings == nullptr)
        throw std::logic_error("AppSettings used outside the settings module's life");
    return *g_appSettings;
}

AppSettingsModule::AppSettingsModule()
{
    if (g_appSettings != nullptr)
        throw std::logic_error("AppSettings exists already");
    m_settings = std::make_unique<TcdSettings>();
    m_settings->SetRegistryKey(QString::fromLatin1(kAppSettingsKey));
    g_appSettings = m_settings.get();
}

AppSettingsModule::~AppSettingsModule()
{
    g_appSettings = nullptr;
    m_settings.reset();
}

void AppSettingsModule::Load()
{
    m_settings->LoadSettings();
}

} // namespace kelvra
