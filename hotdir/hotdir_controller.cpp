#include "hotdir/hotdir_controller.h"

#include "core/paths.h"
#include "core/shell.h"
#include "hotdir/daily_log.h"
#include "hotdir/directory_monitor.h"
#include "platform/file_system.h"

#include <vector>

namespace kelvra {

namespace {

// Language strings of the page.
constexpr int kAskInputFolder = 15;
constexpr int kInputHoldsOutput = 16;
constexpr int kAskOutputFolder = 17;
constexpr int kOutputInInput = 18;
constexpr int kLogFolderMissing = 19;
constexpr int kOutputInsideInput = 20;

constexpr const char* kExplorer = "explorer.exe";
constexpr const char* kLogBrowseTitle = "log path";

// Folder form for the inside-of test: lower-cased, with a trailing delimiter.
std::string FolderKey(const std::string& folder)
{
    return AddTrailingBackslash(LowerTrim(folder));
}

// True when `inner` is `outer` or lies inside it. A prefix test: on systems
// whose paths have no drive letter, a folder of the same name elsewhere
// ("/in/" within "/data/in/") must not count.
bool IsSameOrInside(const std::string& inner, const std::string& outer)
{
    const std::string outerKey = FolderKey(outer);
    return !outerKey.empty() && FolderKey(inner).rfind(outerKey, 0) == 0;
}

} // namespace

const char* ComponentName(HotDirControl control)
{
    switch (control) {
    case HotDirControl::edtindir: return "edtindir";
    case HotDirControl::edtoutdir: return "edtoutdir";
    case HotDirControl::edtlog: return "edtlog";
    case HotDirControl::chksubdir: return "chksubdir";
    case HotDirControl::btnsbtrun: return "btnsbtrun";
    case HotDirControl::btnsbtend: return "btnsbtend";
    case HotDirControl::btnmin: return "btnmin";
    case HotDirControl::actSelectIndir: return "actSelectIndir";
    case HotDirControl::actSelectOutdir: return "actSelectOutdir";
    case HotDirControl::btnselectlogfile: return "btnselectlogfile";
    case HotDirControl::btnsbtreturn: return "btnsbtreturn";
    }
    return "";
}

HotDirController::HotDirController(DirectoryMonitor& monitor, HotDirControllerServices services)
    : m_monitor(monitor), m_services(std::move(services))
{
}

void HotDirController::LoadHotDirSettings()
{
    const HotDirSettingsValues values = m_services.settings.Values();
    HotDirView& view = m_services.view;
    view.SetText(HotDirControl::edtlog, values.LogDir);
    view.SetText(HotDirControl::edtindir, values.Indir);
    view.SetText(HotDirControl::edtoutdir, values.OutDir);
    view.SetSubDirChecked(values.SubDir);
}

void HotDirController::SaveHotDirSettings()
{
    HotDirSettingsValues values = m_services.settings.Values();
    const HotDirView& view = m_services.view;
    // An empty field leaves its setting as it was.
    const auto take = [&view](HotDirControl edit, std::string& setting) {
        std::string text = view.Text(edit);
        if (!text.empty())
            setting = std::move(text);
    };
    take(HotDirControl::edtindir, values.Indir);
    take(HotDirControl::edtoutdir, values.OutDir);
    take(HotDirControl::edtlog, values.LogDir);
    values.SubDir = view.SubDirChecked();
    m_services.settings.SetValues(values);
    m_services.settings.SaveSettings();
}

void HotDirController::SetHotDirRunning(bool running)
{
    HotDirView& view = m_services.view;
    view.SetEnabled(HotDirControl::btnsbtrun, !running);
    view.SetEnabled(HotDirControl::btnsbtend, running);
    view.SetEnabled(HotDirControl::btnmin, running);
    for (HotDirControl control : {HotDirControl::edtindir, HotDirControl::edtoutdir, HotDirControl::edtlog,
                                  HotDirControl::chksubdir, HotDirControl::actSelectIndir,
                                  HotDirControl::actSelectOutdir, HotDirControl::btnselectlogfile,
                                  HotDirControl::btnsbtreturn})
        view.SetEnabled(control, !running);
}

void HotDirController::ShowMessage(int languageIndex, unsigned icon)
{
    m_services.messages.ShowMessageBox(m_services.language(languageIndex), m_services.applicationTitle, kMbOk | icon);
}

bool HotDirController::RefuseUnless(bool ok, int languageIndex, HotDirControl focus)
{
    if (ok)
        return false;
    ShowMessage(languageIndex, kMbIconInformation);
    m_services.view.SetFocus(focus);
    return true;
}

void HotDirController::btnsbtrunClick()
{
    const HotDirView& view = m_services.view;
    const std::string input = view.Text(HotDirControl::edtindir);
    const std::string output = view.Text(HotDirControl::edtoutdir);
    if (RefuseUnless(DirectoryExists(input), kAskInputFolder, HotDirControl::edtindir)
        || RefuseUnless(DirectoryExists(output), kAskOutputFolder, HotDirControl::edtoutdir)
        || RefuseUnless(DirectoryExists(view.Text(HotDirControl::edtlog)), kLogFolderMissing, HotDirControl::edtlog)
        || RefuseUnless(!IsSameOrInside(output, input), kOutputInsideInput, HotDirControl::edtindir))
        return;

    m_monitor.SetDirectory(input);
    m_monitor.SetWatchSubtree(view.SubDirChecked());
    m_monitor.SetExtensions(std::string(SupportedExtensions));
    m_monitor.SetOnFileReady([this](const std::string& path, std::intptr_t) { HotDirFileReady(path); });
    m_monitor.Start(); // an error leaves the page stopped and nothing saved

    // Watching runs from here on: the page must show it even when the
    // settings cannot be written.
    try {
        SaveHotDirSettings();
    } catch (...) {
        SetHotDirRunning(true);
        throw;
    }
    SetHotDirRunning(true);
}

void HotDirController::btnsbtendClick()
{
    m_reported.Clear();
    m_monitor.Stop();
    SetHotDirRunning(false);
}

void HotDirController::chksubdirClick()
{
    SaveHotDirSettings();
}

void HotDirController::ChooseFolder(int titleIndex, int warningIndex, HotDirControl target, HotDirControl other)
{
    std::string chosen;
    if (!BrowseForFolder(m_services.folderPicker, m_services.language(titleIndex), chosen))
        return;
    HotDirView& view = m_services.view;
    const std::string otherText = view.Text(other);
    // A warning only: the choice is still taken.
    if (IsSameOrInside(otherText, chosen))
        ShowMessage(warningIndex, kMbIconWarning);
    if (chosen != otherText)
        view.SetText(target, chosen);
}

void HotDirController::actSelectIndirExecute()
{
    ChooseFolder(kAskInputFolder, kInputHoldsOutput, HotDirControl::edtindir, HotDirControl::edtoutdir);
}

void HotDirController::actSelectOutdirExecute()
{
    ChooseFolder(kAskOutputFolder, kOutputInInput, HotDirControl::edtoutdir, HotDirControl::edtindir);
}

void HotDirController::actSelectLogpathExecute()
{
    std::string chosen;
    if (BrowseForFolder(m_services.folderPicker, kLogBrowseTitle, chosen))
        m_services.view.SetText(HotDirControl::edtlog, chosen);
}

void HotDirController::actOpenIndirExecute()
{
    m_services.launcher.LaunchProgram(kExplorer, m_services.view.Text(HotDirControl::edtindir));
}

void HotDirController::actOpenOutdirExecute()
{
    m_services.launcher.LaunchProgram(kExplorer, m_services.view.Text(HotDirControl::edtoutdir));
}

void HotDirController::actOpenLogDirExecute()
{
    m_services.launcher.LaunchProgram(kExplorer, " /n,/select, \"" + TodayLogFile() + "\"");
}

std::string HotDirController::TodayLogFile() const
{
    return DailyLogPath(m_services.settings.Values().LogDir, m_services.clock.DateText());
}

void HotDirController::HotDirFileReady(const std::string& path)
{
    m_reported.Add(path, std::string());
    // A pair left pending by an error in an earlier report goes first. The
    // positions are copied, since processing changes the pending set.
    const int count = m_reported.Count();
    const std::vector<int> pending(m_reported.PendingPairs().begin(),
                                   m_reported.PendingPairs().lower_bound(count));
    for (int index : pending)
        ProcessPendingFile(index);
}

void HotDirController::ProcessPendingFile(int index)
{
    const HotDirSettingsValues settings = m_services.settings.Values();
    const LogClock& clock = m_services.clock;
    const std::string name = m_reported.Name(index);
    const std::string nominalOutput = AddTrailingBackslash(settings.OutDir) + FileNameWithoutExt(name) + ".epub";
    if (settings.SubDir && !DirectoryExists(nominalOutput))
        ForceDirectories(ExtractFilePath(nominalOutput));
    // Both entries of a file go to the log of the day its processing began.
    const std::string logFile = DailyLogPath(settings.LogDir, clock.DateText());

    AppendLogText(StartLogEntry(clock.LongTimeText(), name), logFile);
    ConvertOneFile(
        name, nominalOutput,
        [this](const std::string& output, const std::string& message) { HotDirFailureReport(output, message); },
        m_services.converter);
    const bool converted = FileExists(ExpectedEpubPath(nominalOutput, name));
    m_reported.SetValue(index, converted ? "1" : "2");
    AppendLogText(ResultLogEntry(nominalOutput, converted, clock.LongTimeText()), logFile);
}

void HotDirController::HotDirFailureReport(const std::string& nominalOutputPath, const std::string&)
{
    AppendLogText(ResultLogEntry(nominalOutputPath, false, m_services.clock.LongTimeText()), TodayLogFile());
}

} // namespace kelvra
