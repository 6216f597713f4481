#include "gui/hotdir_page_binding.h"

#include "gui/action_list.h"
#include "gui/hotdir_page.h"
#include "gui/quorran_window.h"
#include "gui/window_services.h"
#include "i18n/language.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "settings/cd_settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <exception>
#include <stdexcept>

namespace kelvra {
namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

// ---------------------------------------------------------------------------

HotDirPageView::HotDirPageView(HotDirPage& page, const ActionList& actions)
    : m_page(page), m_actions(actions)
{
}

QWidget* HotDirPageView::Widget(HotDirControl control) const
{
    switch (control) {
    case HotDirControl::edtindir: return m_page.edtindir;
    case HotDirControl::edtoutdir: return m_page.edtoutdir;
    case HotDirControl::edtlog: return m_page.edtlog;
    case HotDirControl::chksubdir: return m_page.chksubdir;
    case HotDirControl::btnsbtrun: return m_page.btnsbtrun;
    case HotDirControl::btnsbtend: return m_page.btnsbtend;
    case HotDirControl::btnmin: return m_page.btnmin;
    case HotDirControl::btnselectlogfile: return m_page.btnselectlogfile;
    case HotDirControl::btnsbtreturn: return m_page.btnsbtreturn;
    case HotDirControl::actSelectIndir:
    case HotDirControl::actSelectOutdir: return nullptr;
    }
    return nullptr;
}

QLineEdit* HotDirPageView::Edit(HotDirControl control) const
{
    switch (control) {
    case HotDirControl::edtindir: return m_page.edtindir;
    case HotDirControl::edtoutdir: return m_page.edtoutdir;
    case HotDirControl::edtlog: return m_page.edtlog;
    default: break;
    }
    throw std::logic_error(std::string("Not an edit field: ") + ComponentName(control));
}

std::string HotDirPageView::Text(HotDirControl edit) const
{
    return Edit(edit)->text().toStdString();
}

void HotDirPageView::SetText(HotDirControl edit, const std::string& text)
{
    Edit(edit)->setText(FromUtf8(text));
}

bool HotDirPageView::SubDirChecked() const
{
    return m_page.chksubdir->isChecked();
}

void HotDirPageView::SetSubDirChecked(bool checked)
{
    m_page.chksubdir->setChecked(checked);
}

void HotDirPageView::SetEnabled(HotDirControl control, bool enabled)
{
    // The two choose actions carry their buttons with them (a bound button
    // follows its action's enabled state).
    if (control == HotDirControl::actSelectIndir)
        m_actions.actSelectIndir->setEnabled(enabled);
    else if (control == HotDirControl::actSelectOutdir)
        m_actions.actSelectOutdir->setEnabled(enabled);
    else if (QWidget* widget = Widget(control))
        widget->setEnabled(enabled);
}

void HotDirPageView::SetFocus(HotDirControl control)
{
    if (QWidget* widget = Widget(control))
        widget->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------

AppHotDirSettings::AppHotDirSettings(TcdSettings& settings)
    : m_settings(settings)
{
}

HotDirSettingsValues AppHotDirSettings::Values() const
{
    HotDirSettingsValues values;
    values.LogDir = m_settings.LogDir().toStdString();
    values.Indir = m_settings.Indir().toStdString();
    values.OutDir = m_settings.OutDir().toStdString();
    values.SubDir = m_settings.SubDir();
    return values;
}

void AppHotDirSettings::SetValues(const HotDirSettingsValues& values)
{
    m_settings.SetLogDir(FromUtf8(values.LogDir));
    m_settings.SetIndir(FromUtf8(values.Indir));
    m_settings.SetOutDir(FromUtf8(values.OutDir));
    m_settings.SetSubDir(values.SubDir);
}

void AppHotDirSettings::SaveSettings()
{
    m_settings.SaveSettings();
}

// ---------------------------------------------------------------------------

/// The log clock handed to the controller: the system's, or one a test sets.
class HotDirPageBinding::ClockSwitch final : public LogClock {
public:
    std::string LongTimeText() const override { return Current().LongTimeText(); }
    std::string DateText() const override { return Current().DateText(); }

    const LogClock* override = nullptr;

private:
    const LogClock& Current() const { return override != nullptr ? *override : m_system; }

    SystemLogClock m_system;
};

/// Stand-ins for services the window was created without: nothing is shown,
/// picked or launched.
struct HotDirPageBinding::NullServices {
    struct Boxes final : MessageBoxService {
        int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return kIdOk; }
    } boxes;
    struct Picker final : FolderPicker {
        std::optional<std::string> PickFolder(const std::string&, const std::string&) override { return {}; }
    } picker;
    struct Launcher final : ShellLauncher {
        void LaunchProgram(const std::string&, const std::string&) override {}
    } launcher;
};

HotDirPageBinding::HotDirPageBinding(HotDirPage& page, const ActionList& actions, DirectoryMonitor& monitor,
                                     const WindowServices& services, ErrorReport reportError)
    : m_view(page, actions)
    , m_settings(AppSettings())
    , m_nullServices(std::make_unique<NullServices>())
    , m_clock(std::make_unique<ClockSwitch>())
    , m_reportError(std::move(reportError))
{
    setObjectName(QStringLiteral("hotDirPageBinding"));
    NullServices& none = *m_nullServices;
    m_controller = std::make_unique<HotDirController>(
        monitor,
        HotDirControllerServices{
            m_view,
            m_settings,
            services.messageBoxes != nullptr ? *services.messageBoxes : none.boxes,
            services.folderPicker != nullptr ? *services.folderPicker : none.picker,
            services.launcher != nullptr ? *services.launcher : none.launcher,
            *m_clock,
            [](int index) { return LanguageStrings.at(static_cast<std::size_t>(index)).toStdString(); },
            kApplicationTitle,
            ConverterProgram::Installed(),
        });
    Connect(page, actions);
}

HotDirPageBinding::~HotDirPageBinding() = default;

void HotDirPageBinding::SetLogClock(const LogClock* clock)
{
    m_clock->override = clock;
}

void HotDirPageBinding::Connect(HotDirPage& page, const ActionList& actions)
{
    const auto bind = [this](auto* sender, auto signal, void (HotDirController::*handler)()) {
        connect(sender, signal, this, [this, handler] { Run(handler); });
    };
    bind(page.btnsbtrun, &QToolButton::clicked, &HotDirController::btnsbtrunClick);
    bind(page.btnsbtend, &QToolButton::clicked, &HotDirController::btnsbtendClick);
    // A click by the user only: filling the box from the settings saves nothing.
    bind(page.chksubdir, &QCheckBox::clicked, &HotDirController::chksubdirClick);
    bind(actions.actSelectIndir, &QAction::triggered, &HotDirController::actSelectIndirExecute);
    bind(actions.actSelectOutdir, &QAction::triggered, &HotDirController::actSelectOutdirExecute);
    bind(actions.actSelectLogpath, &QAction::triggered, &HotDirController::actSelectLogpathExecute);
    bind(actions.actOpenIndir, &QAction::triggered, &HotDirController::actOpenIndirExecute);
    bind(actions.actOpenOutdir, &QAction::triggered, &HotDirController::actOpenOutdirExecute);
    bind(actions.actOpenLogDir, &QAction::triggered, &HotDirController::actOpenLogDirExecute);
}

void HotDirPageBinding::Run(void (HotDirController::*handler)())
{
    // The error is shown here rather than left to unwind through Qt's signal
    // machinery; the user sees the same standard error box.
    try {
        (m_controller.get()->*handler)();
    } catch (const std::exception& error) {
        if (m_reportError)
            m_reportError(error.what());
    }
}

} // namespace kelvra
