// Not a test: times saves and loads of a settings object of eleven values
// (the size of the application's settings) through the real store file, and
// prints the figures. Run: settings_benchmark [rounds]

#include "settings/base_settings.h"
#include "tests/support/test_files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace kelvra {

class TBenchSettings : public TBaseSettings {
    Q_OBJECT
    Q_PROPERTY(QString LogDir MEMBER m_logDir)
    Q_PROPERTY(QString Indir MEMBER m_inDir)
    Q_PROPERTY(QString OutDir MEMBER m_outDir)
    Q_PROPERTY(bool SubDir MEMBER m_subDir)
    Q_PROPERTY(QString SavePath MEMBER m_savePath)
    Q_PROPERTY(bool MUseOption MEMBER m_useOption)
    Q_PROPERTY(int MVerbose MEMBER m_verbose)
    Q_PROPERTY(QString MPixelW MEMBER m_pixelW)
    Q_PROPERTY(QString MPixelH MEMBER m_pixelH)
    Q_PROPERTY(int MLoop MEMBER m_loop)
    Q_PROPERTY(QString Applocation MEMBER m_appLocation)

public:
    TBenchSettings() { SetAutoLoad(false); }

    QString m_logDir = "/home/user/hot/log", m_inDir = "/home/user/hot/in", m_outDir = "/home/user/hot/out";
    bool m_subDir = true;
    QString m_savePath = "/home/user/Documents/Kelvra Converter";
    bool m_useOption = false;
    int m_verbose = 1;
    QString m_pixelW = "0", m_pixelH = "0";
    int m_loop = 0;
    QString m_appLocation = "/opt/kelvra/bin/kelvra";
};

} // namespace kelvra

int main(int argc, char** argv)
{
    using Clock = std::chrono::steady_clock;
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    kelvra::test::TempDir config;
    kelvra::test::ScopedEnv env("XDG_CONFIG_HOME", config.path());
    kelvra::TBenchSettings settings;
    settings.SetRegistryKey("Software\\Tarnwick\\Brennic\\Setting");

    const auto saveStart = Clock::now();
    for (int i = 0; i < rounds; ++i)
        settings.SaveSettings();
    const auto saveEnd = Clock::now();
    for (int i = 0; i < rounds; ++i)
        settings.LoadSettings();
    const auto loadEnd = Clock::now();

    const auto perRound = [rounds](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / rounds;
    };
    std::printf("rounds: %d\nSaveSettings (11 values): %.3f ms each\nLoadSettings (11 values): %.3f ms each\n",
        rounds, perRound(saveEnd - saveStart), perRound(loadEnd - saveEnd));
    return 0;
}

#include "settings_benchmark.moc"
