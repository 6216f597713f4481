#include "gui/batch_run.h"

#include "core/file_info.h"
#include "core/paths.h"
#include "core/shell.h"
#include "gui/action_list.h"
#include "gui/batch_page.h"
#include "gui/conversion_list_model.h"
#include "gui/file_list_view.h"
#include "gui/quorran_window.h"
#include "gui/wait_cursor.h"
#include "hotdir/system_log_clock.h"
#include "i18n/language.h"
#include "platform/message_box.h"
#include "settings/cd_settings.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <vector>

namespace kelvra {
namespace {

// Language strings of the run.
constexpr int kOutputFolderTitleString = 12;
constexpr int kFileMissingString = 13;
constexpr int kRunFinishedString = 14;
constexpr int kStoppedByUserString = 21;

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

BatchRun::BatchRun(TfrmQuorran& window, ConversionListModel& items)
    : QObject(&window)
    , m_window(window)
    , m_page(window.PageConvert())
    , m_items(items)
    , m_systemClock(std::make_unique<SystemLogClock>())
    , m_clock(m_systemClock.get())
{
    setObjectName(QStringLiteral("batchRun"));
    connect(window.Actions().actConvert, &QAction::triggered, this, &BatchRun::actConvertExecute);
    connect(m_page.btnStopConvert, &QPushButton::clicked, this, &BatchRun::btnStopConvertClick);
    connect(m_page.btnOpenLog, &QPushButton::clicked, this, &BatchRun::btnOpenLogClick);
    // A window closed between two files ends the run as Stop Convert does,
    // without the closing question: nobody is left to answer it.
    connect(&window, &TfrmQuorran::Closed, this, [this] {
        if (m_running) {
            m_windowClosed = true;
            m_window.StopRequested = true;
        }
    });
}

BatchRun::~BatchRun() = default;

void BatchRun::actConvertExecute()
{
    // The Convert button is hidden during a run; this keeps a second trigger
    // from starting a run inside the run.
    if (m_running)
        return;
    m_running = true;
    m_windowClosed = false;
    try {
        Run();
    } catch (...) {
        m_running = false;
        ConvertButtonsForRun(false);
        SetRunControlsEnabled(true);
        throw;
    }
    m_running = false;
}

void BatchRun::Run()
{
    const WindowServices& services = m_window.Services();

    // 1. The output folder, preselected from the last run's. The hourglass
    //    starts once it is chosen: over the picker it would only mislead.
    m_window.BatchOutputFolder = AppSettings().SavePath().toStdString();
    if (services.folderPicker == nullptr
        || !BrowseForFolder(*services.folderPicker, LanguageStrings[kOutputFolderTitleString].toStdString(),
                            m_window.BatchOutputFolder))
        return;
    WaitCursor hourglass;

    m_window.StopRequested = false;
    ConvertButtonsForRun(true);
    m_window.SetStatusPanelText(0, QString::fromLatin1(kStartConversionText));
    ShowLogPane();
    Log(QString::fromLatin1(kTaskBeginLine));
    SetRunControlsEnabled(false);

    // 2. Every listed file must still exist; items up to the first missing
    //    one are reset, those after it keep their marks.
    const int count = m_items.Count();
    int missing = -1;
    for (int row = 0; row < count && missing < 0; ++row) {
        if (!FileExists(m_items.Item(row).fullFileName))
            missing = row;
    }
    m_items.ResetForRun(0, missing < 0 ? count - 1 : missing);
    if (missing >= 0) {
        hourglass.Restore();
        if (services.messageBoxes != nullptr)
            services.messageBoxes->ShowMessageBox(LanguageStrings[kFileMissingString].toStdString(),
                                                  kApplicationTitle, kMbOkCancel | kMbIconWarning);
        ConvertButtonsForRun(false);
        SetRunControlsEnabled(true);
        return;
    }
    AppSettings().SetSavePath(FromUtf8(m_window.BatchOutputFolder));

    // 3. The files, as listed when the run began; items dropped in during
    //    the run are not converted by it.
    struct Entry {
        std::uint64_t id;
        std::string input;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row)
        entries.push_back({m_items.ItemId(row), m_items.Item(row).fullFileName});
    const ConverterProgram converter = m_converter.value_or(ConverterProgram::Installed());
    const std::string outputFolder = AddTrailingBackslash(m_window.BatchOutputFolder);
    std::string nominalOutputPath;
    for (int i = 0; i < count; ++i) {
        const Entry& entry = entries[static_cast<std::size_t>(i)];
        const int row = m_items.RowOfId(entry.id);
        m_window.CurrentItemIndex = row;
        nominalOutputPath = outputFolder + FileNameWithoutExt(entry.input) + ".epub";
        // After Stop Convert, and for an item a drop's duplicate removal
        // took out of the list, nothing is converted and nothing logged.
        if (m_window.StopRequested || row < 0)
            continue;
        Log(TimeStamp() + QStringLiteral("Load: ") + FromUtf8(entry.input) + QStringLiteral(" [Success]"));
        // Shows which file is being converted; input waits until the file is done.
        m_page.mmolog->repaint();
        ConvertOneFile(
            entry.input, nominalOutputPath,
            [this](const std::string& nominal, const std::string& message) { BatchFailureReport(nominal, message); },
            converter);
        const std::string outputName = ExtractFileName(nominalOutputPath);
        if (FileExists(ExpectedEpubPath(nominalOutputPath, entry.input))) {
            Log(TimeStamp() + QStringLiteral("Convert to: ") + FromUtf8(outputName) + QStringLiteral(" [Success]"));
            m_items.SetImageIndex(row, kItemSucceeded);
            m_items.SetResultTexts(row, "Save to: " + outputName, nominalOutputPath);
        } else {
            m_items.SetImageIndex(row, kItemFailed);
            Log(TimeStamp() + QStringLiteral("Convert to: ") + FromUtf8(outputName) + QStringLiteral(" [Failed]"));
        }
        // The only moment Stop Convert, drops and tray commands take effect.
        QCoreApplication::processEvents();
    }

    ConvertButtonsForRun(false);
    hourglass.Restore();
    SetRunControlsEnabled(true);
    Log(QString::fromLatin1(kTaskEndLine));
    if (m_windowClosed || nominalOutputPath.empty())
        return;

    // 4. The question, and Explorer on the last item's output.
    if (services.messageBoxes == nullptr
        || services.messageBoxes->ShowMessageBox(LanguageStrings[kRunFinishedString].toStdString(), kApplicationTitle,
                                                 kMbOkCancel | kMbIconInformation)
               != kIdOk)
        return;
    if (services.launcher == nullptr)
        return;
    if (FileExists(nominalOutputPath))
        services.launcher->LaunchProgram("explorer.exe", " /n,/select, \"" + nominalOutputPath + "\"");
    else
        services.launcher->LaunchProgram("explorer.exe", " /n, \"" + ExtractFilePath(nominalOutputPath) + "\"");
}

void BatchRun::btnStopConvertClick()
{
    Log(LanguageStrings[kStoppedByUserString]);
    m_window.StopRequested = true;
}

void BatchRun::btnOpenLogClick()
{
    if (!m_page.pnlLog->isHidden()) {
        m_page.pnlLog->hide();
        m_page.btnOpenLog->setText(QString::fromLatin1(kShowLogCaption));
    } else {
        ShowLogPane();
    }
}

void BatchRun::SetRunControlsEnabled(bool enabled)
{
    m_window.Actions().actOption->setEnabled(enabled);
    for (QWidget* control : {static_cast<QWidget*>(m_page.btnadd), static_cast<QWidget*>(m_page.btnsbrecentfile),
                             static_cast<QWidget*>(m_page.btnadddir), static_cast<QWidget*>(m_page.btnRemove),
                             static_cast<QWidget*>(m_page.btnClear), static_cast<QWidget*>(m_page.btnHotdirectory),
                             static_cast<QWidget*>(m_page.lvFiles)})
        control->setEnabled(enabled);
    if (enabled)
        m_window.UpdateListActions();
}

void BatchRun::BatchFailureReport(const std::string& nominalOutputPath, const std::string& message)
{
    m_items.SetImageIndex(m_window.CurrentItemIndex, kItemFailed);
    Log(TimeStamp() + QStringLiteral("Convert to: ") + FromUtf8(ExtractFileName(nominalOutputPath))
        + QStringLiteral(" [Failed]"));
    Log(FromUtf8(message));
}

void BatchRun::Log(const QString& line)
{
    // A language string may hold line breaks (CR LF): each is a line of the pane.
    QString text = line;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_page.mmolog->appendPlainText(text);
}

QString BatchRun::TimeStamp() const
{
    return u'[' + FromUtf8(m_clock->LongTimeText()) + u']';
}

void BatchRun::ShowLogPane()
{
    m_page.pnlLog->show();
    m_page.btnOpenLog->setText(QString::fromLatin1(kHideLogCaption));
}

void BatchRun::ConvertButtonsForRun(bool running)
{
    m_page.btnConvert->setVisible(!running);
    m_page.btnStopConvert->setVisible(running);
}

} // namespace kelvra
