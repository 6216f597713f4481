#pragma once

// The main window on its batch page for the file list and batch run tests:
// a real settings store, recording doubles for the folder picker, file
// dialogs, message boxes and shell launches, a log clock that stands still,
// language strings 11 to 21 that name their own number, and a temporary
// folder for real books.

#include "gui/batch_page.h"
#include "gui/batch_run.h"
#include "gui/conversion_list_model.h"
#include "gui/file_list_actions.h"
#include "gui/quorran_window.h"
#include "hotdir/hotdir_services.h"
#include "i18n/language.h"
#include "settings/cd_settings.h"
#include "tests/gui/recording_file_dialogs.h"
#include "tests/gui/recording_message_boxes.h"
#include "tests/gui/store_fixture.h"
#include "tests/support/test_doubles.h"
#include "tests/support/test_files.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kelvra::test {

class StillClock final : public LogClock {
public:
    std::string time = "14:05:09";
    std::string LongTimeText() const override { return time; }
    std::string DateText() const override { return "26-12-11"; }
};

class BatchWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedStrings = LanguageStrings;
        for (int i = 11; i <= 21; ++i)
            LanguageStrings[i] = QStringLiteral("Language string %1").arg(i);
        settings = std::make_unique<AppSettingsModule>();
        settings->Load();
        services.launcher = &launcher;
        services.folderPicker = &picker;
        services.messageBoxes = &boxes;
        services.fileDialogs = &dialogs;
        services.trayAvailable = [] { return false; };
        window = std::make_unique<TfrmQuorran>(services);
        window->show();
        window->actNextExecute(); // the batch page
        QApplication::processEvents();
        list = window->findChild<FileListActions*>(QStringLiteral("fileListActions"));
        run = window->findChild<BatchRun*>(QStringLiteral("batchRun"));
        ASSERT_NE(list, nullptr);
        ASSERT_NE(run, nullptr);
        items = &list->Items();
        items->SetThousandsSeparator(",");
        run->SetLogClock(&clock);
    }

    void TearDown() override
    {
        window.reset();
        settings.reset();
        LanguageStrings = m_savedStrings;
    }

    BatchPage& Page() { return window->PageConvert(); }

    /// A real file of `bytes` bytes at `relative` inside the temporary folder.
    std::string Book(const std::string& relative, std::size_t bytes = 10)
    {
        const std::filesystem::path path = std::filesystem::path(dir.path()) / relative;
        std::filesystem::create_directories(path.parent_path());
        WriteFile(path.string(), std::string(bytes, 'x'));
        return path.string();
    }

    /// One column of every item, top to bottom.
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < items->Count(); ++row)
            texts.push_back(items->Item(row).Column(column));
        return texts;
    }
    std::vector<int> States() const
    {
        std::vector<int> states;
        for (int row = 0; row < items->Count(); ++row)
            states.push_back(items->Item(row).imageIndex);
        return states;
    }

    /// Drags `urls` onto `target` and drops them there; true when both the
    /// enter and the drop were accepted.
    /// (A drop reaches the widget the drag entered, so a drag always enters first.)
    static bool DropOn(QWidget* target, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        const QString text = window->PageConvert().mmolog->toPlainText();
        if (text.isEmpty())
            return lines;
        for (const QString& line : text.split(u'\n'))
            lines.push_back(line.toStdString());
        return lines;
    }

    StoreFixture store;
    TempDir dir;
    std::unique_ptr<AppSettingsModule> settings;
    RecordingShellLauncher launcher;
    RecordingFolderPicker picker;
    RecordingMessageBoxes boxes;
    RecordingFileDialogs dialogs;
    StillClock clock;
    WindowServices services;
    std::unique_ptr<TfrmQuorran> window;
    FileListActions* list = nullptr;
    BatchRun* run = nullptr;
    ConversionListModel* items = nullptr;

private:
    LanguageTable m_savedStrings;
};

} // namespace kelvra::test
