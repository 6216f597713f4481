#pragma once

// Fakes of the hot-directory page's view and services: each records what it
// was told, so tests assert exactly what the window would have shown.

#include "hotdir/hotdir_services.h"
#include "platform/message_box.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvra::test {

class FakeHotDirView final : public HotDirView {
public:
    std::map<HotDirControl, std::string> texts;
    bool subDir = false;
    std::map<HotDirControl, bool> enabled;
    std::vector<HotDirControl> focusMoves;

    std::string Text(HotDirControl edit) const override
    {
        const auto it = texts.find(edit);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(HotDirControl edit, const std::string& text) override { texts[edit] = text; }
    bool SubDirChecked() const override { return subDir; }
    void SetSubDirChecked(bool checked) override { subDir = checked; }
    void SetEnabled(HotDirControl control, bool on) override { enabled[control] = on; }
    void SetFocus(HotDirControl control) override { focusMoves.push_back(control); }
};

class FakeHotDirSettings final : public HotDirSettings {
public:
    HotDirSettingsValues values;
    std::vector<HotDirSettingsValues> saved; ///< the values at each SaveSettings
    bool failSave = false;

    HotDirSettingsValues Values() const override { return values; }
    void SetValues(const HotDirSettingsValues& newValues) override { values = newValues; }
    void SaveSettings() override
    {
        if (failSave)
            throw std::runtime_error("registry file locked");
        saved.push_back(values);
    }
};

class RecordingMessageBox final : public MessageBoxService {
public:
    struct Shown {
        std::string text;
        std::string caption;
        unsigned flags;
    };
    std::vector<Shown> shown;

    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        shown.push_back({text, caption, flags});
        return kIdOk;
    }
};

/// A clock the test sets.
class FakeLogClock final : public LogClock {
public:
    std::string time = "10:11:12";
    std::string date = "24-03-15";
    std::string LongTimeText() const override { return time; }
    std::string DateText() const override { return date; }
};

inline std::string FakeLanguage(int index)
{
    return "language string " + std::to_string(index);
}

} // namespace kelvra::test
