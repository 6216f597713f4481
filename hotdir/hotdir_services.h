#pragma once

// What the hot-directory page's logic needs from its surroundings, as small
// interfaces: the page's controls, the settings it keeps, and the clock of
// its log. The window implements them on its widgets and AppSettings; tests
// pass fakes. All of them are used on the main thread only.

#include <functional>
#include <string>

namespace kelvra {

/// The page's controls that the logic reads or changes.
enum class HotDirControl {
    edtindir,
    edtoutdir,
    edtlog,
    chksubdir,
    btnsbtrun,
    btnsbtend,
    btnmin,
    actSelectIndir,
    actSelectOutdir,
    btnselectlogfile,
    btnsbtreturn,
};

/// The component's name (its objectName in the window), e.g. "edtindir".
const char* ComponentName(HotDirControl control);

class HotDirView {
public:
    virtual ~HotDirView() = default;
    /// Text of one of the edit fields edtindir, edtoutdir, edtlog.
    virtual std::string Text(HotDirControl edit) const = 0;
    virtual void SetText(HotDirControl edit, const std::string& text) = 0;
    /// State of chksubdir.
    virtual bool SubDirChecked() const = 0;
    virtual void SetSubDirChecked(bool checked) = 0;
    virtual void SetEnabled(HotDirControl control, bool enabled) = 0;
    virtual void SetFocus(HotDirControl control) = 0;
};

/// The four hot-folder settings of AppSettings.
struct HotDirSettingsValues {
    std::string LogDir;
    std::string Indir;
    std::string OutDir;
    bool SubDir = false;
};

class HotDirSettings {
public:
    virtual ~HotDirSettings() = default;
    virtual HotDirSettingsValues Values() const = 0;
    /// Takes the values into the settings object (not yet written).
    virtual void SetValues(const HotDirSettingsValues& values) = 0;
    /// Writes every setting to the registry; throws when that fails.
    virtual void SaveSettings() = 0;
};

/// The time and date texts of the daily log, read when an entry is written.
class LogClock {
public:
    virtual ~LogClock() = default;
    /// The local time of day in the user's long time format.
    virtual std::string LongTimeText() const = 0;
    /// The local date as "yy-mm-dd".
    virtual std::string DateText() const = 0;
};

/// Language string N (the window passes a view of LanguageStrings).
using LanguageText = std::function<std::string(int index)>;

} // namespace kelvra
