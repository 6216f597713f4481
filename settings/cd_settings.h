#pragma once

// TcdSettings: the settings of kelvra, kept under the key
// "Software\Tarnwick\Brennic\Setting" in the registry store, one value per property (TBaseSettings
// chooses the value type by the property's kind). Property-table order:
// LogDir, Indir, OutDir, SubDir, SavePath, MUseOption, MVerbose, MPixelW,
// MPixelH, MLoop, Applocation. The five M settings belong to the Option
// dialog; the hot-folder page and the batch run use the folders and SubDir.
//
// AppSettings is the one instance of the program. AppSettingsModule creates
// it, gives it its key and loads it (start of the program, before the
// language file and any window), and destroys it at its own end, which saves
// every setting (after the windows are gone). Other code reads and writes the
// properties directly and may call SaveSettings. Main thread only.

#include "settings/base_settings.h"

#include <QString>

#include <memory>

namespace kelvra {

/// The registry key of the application settings, below HKEY_CURRENT_USER.
inline constexpr char kAppSettingsKey[] = "Software\\Tarnwick\\Brennic\\Setting";

class TcdSettings : public TBaseSettings {
    Q_OBJECT
    Q_PROPERTY(QString LogDir READ LogDir WRITE SetLogDir)
    Q_PROPERTY(QString Indir READ Indir WRITE SetIndir)
    Q_PROPERTY(QString OutDir READ OutDir WRITE SetOutDir)
    Q_PROPERTY(bool SubDir READ SubDir WRITE SetSubDir)
    Q_PROPERTY(QString SavePath READ SavePath WRITE SetSavePath)
    Q_PROPERTY(bool MUseOption READ MUseOption WRITE SetMUseOption)
    Q_PROPERTY(int MVerbose READ MVerbose WRITE SetMVerbose)
    Q_PROPERTY(QString MPixelW READ MPixelW WRITE SetMPixelW)
    Q_PROPERTY(QString MPixelH READ MPixelH WRITE SetMPixelH)
    Q_PROPERTY(int MLoop READ MLoop WRITE SetMLoop)
    Q_PROPERTY(QString Applocation READ Applocation WRITE SetApplocation)

public:
    /// No owner. SavePath: the documents folder + "Kelvra Converter";
    /// Applocation: the path of the running program; MVerbose 1, MPixelW and
    /// MPixelH "0"; everything else empty, false or 0. Nothing is read.
    TcdSettings();
    /// Saves (AutoLoad), swallowing every error.
    ~TcdSettings() override;

    QString LogDir() const { return m_logDir; }
    void SetLogDir(const QString& value) { m_logDir = value; }
    QString Indir() const { return m_indir; }
    void SetIndir(const QString& value) { m_indir = value; }
    QString OutDir() const { return m_outDir; }
    void SetOutDir(const QString& value) { m_outDir = value; }
    bool SubDir() const { return m_subDir; }
    void SetSubDir(bool value) { m_subDir = value; }
    QString SavePath() const { return m_savePath; }
    void SetSavePath(const QString& value) { m_savePath = value; }
    bool MUseOption() const { return m_useOption; }
    void SetMUseOption(bool value) { m_useOption = value; }
    int MVerbose() const { return m_verbose; }
    void SetMVerbose(int value) { m_verbose = value; }
    QString MPixelW() const { return m_pixelW; }
    void SetMPixelW(const QString& value) { m_pixelW = value; }
    QString MPixelH() const { return m_pixelH; }
    void SetMPixelH(const QString& value) { m_pixelH = value; }
    int MLoop() const { return m_loop; }
    void SetMLoop(int value) { m_loop = value; }
    QString Applocation() const { return m_applocation; }
    void SetApplocation(const QString& value) { m_applocation = value; }

private:
    QString m_logDir;
    QString m_indir;
    QString m_outDir;
    bool m_subDir = false;
    QString m_savePath;
    bool m_useOption = false;
    int m_verbose = 1;
    QString m_pixelW;
    QString m_pixelH;
    int m_loop = 0;
    QString m_applocation;
};

/// The program's settings. Valid only while an AppSettingsModule lives.
TcdSettings& AppSettings();

/// The life of AppSettings: the constructor creates it with its key; Load
/// reads the store (and throws the store's error for a value it cannot read;
/// the values read before it stay). The destructor destroys AppSettings,
/// which saves every setting, also after a failed load, so that an
/// unreadable value is replaced. One module at a time.
class AppSettingsModule {
public:
    AppSettingsModule();
    ~AppSettingsModule();
    AppSettingsModule(const AppSettingsModule&) = delete;
    AppSettingsModule& operator=(const AppSettingsModule&) = delete;

    void Load();

private:
    std::unique_ptr<TcdSettings> m_settings;
};

} // namespace kelvra
