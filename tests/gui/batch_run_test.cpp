// The batch run through the real window offscreen, with the tests' fake
// converter beside this test program as "ebook.exe" (a real process per
// file), scripted answers to the folder picker and message boxes, and the
// explorer launches on the recording double.

#include "core/app_folders.h"
#include "gui/action_list.h"
#include "gui/file_list_view.h"
#include "platform/file_system.h"
#include "tests/gui/batch_window_fixture.h"

#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <stdexcept>
#include <system_error>

namespace kelvra {
namespace {

class BatchRunTest : public test::BatchWindowFixture {
protected:
    void SetUp() override
    {
        BatchWindowFixture::SetUp();
        ASSERT_TRUE(FileExists(AppFolderFile("ebook.exe"))) << "the fake converter beside the test program";
        out = dir.File("out");
        std::filesystem::create_directories(out);
        picker.answer = out;
    }

    void AddBooks(const std::vector<std::string>& paths)
    {
        dialogs.answers.push_back(paths);
        Page().btnadd->click();
        ASSERT_EQ(items->Count(), static_cast<int>(paths.size()));
    }

    void Convert() { window->Actions().actConvert->trigger(); }

    std::string LoadLine(const std::string& input) const { return "[14:05:09]Load: " + input + " [Success]"; }
    static std::string ConvertLine(const std::string& name, bool success)
    {
        return "[14:05:09]Convert to: " + name + (success ? " [Success]" : " [Failed]");
    }

    std::string out;
};

TEST_F(BatchRunTest, ConvertsEveryFileLogsEachStepAndMarksTheItems)
{
    const std::string prev = dir.File("previous");
    std::filesystem::create_directories(prev);
    AppSettings().SetSavePath(QString::fromStdString(prev));
    const std::string alice = Book("books/Alice.mobi");
    const std::string bob = Book("books/bob with blanks.pdf");
    AddBooks({alice, bob});
    boxes.answer = kIdCancel;

    Convert();

    ASSERT_EQ(picker.requests.size(), 1u);
    EXPECT_EQ(picker.requests[0].title, "Language string 12");
    EXPECT_EQ(picker.requests[0].startFolder, prev);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin...", LoadLine(alice), ConvertLine("Alice.epub", true),
                                                    LoadLine(bob), ConvertLine("bob with blanks.epub", true),
                                                    "Task End"}));
    EXPECT_TRUE(FileExists(out + "/Alice/Alice.epub"));
    EXPECT_TRUE(FileExists(out + "/bob with blanks/bob with blanks.epub"));
    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemSucceeded}));
    EXPECT_EQ(Column(kColumnInformation), (std::vector<std::string>{"Save to: Alice.epub", "Save to: bob with blanks.epub"}));
    EXPECT_EQ(Column(kColumnOutFileName), (std::vector<std::string>{out + "/Alice.epub", out + "/bob with blanks.epub"}));
    EXPECT_EQ(AppSettings().SavePath().toStdString(), out);
    EXPECT_EQ(window->BatchOutputFolder, out);

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Language string 14");
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, 0x41u);
    EXPECT_TRUE(launcher.launches.empty()); // answered Cancel

    // The window after the run.
    EXPECT_EQ(window->StatusPanelText(0), "Start Conversion...");
    EXPECT_TRUE(Page().pnlLog->isVisible());
    EXPECT_EQ(Page().btnOpenLog->text(), "Hide log...");
    EXPECT_TRUE(Page().btnConvert->isVisible());
    EXPECT_FALSE(Page().btnStopConvert->isVisible());
    for (QWidget* control : {static_cast<QWidget*>(Page().btnadd), static_cast<QWidget*>(Page().btnadddir),
                             static_cast<QWidget*>(Page().btnRemove), static_cast<QWidget*>(Page().lvFiles),
                             static_cast<QWidget*>(Page().btnHotdirectory)})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(window->Actions().actOption->isEnabled());

    // The log button hides and shows the pane; the lines stay for the next run.
    Page().btnOpenLog->click();
    EXPECT_FALSE(Page().pnlLog->isVisible());
    EXPECT_EQ(Page().btnOpenLog->text(), "Show log...");
    Page().btnOpenLog->click();
    EXPECT_TRUE(Page().pnlLog->isVisible());
    EXPECT_EQ(Page().btnOpenLog->text(), "Hide log...");
}

TEST_F(BatchRunTest, ControlsAreDisabledWhileTheRunGoesOnAndStopConvertShows)
{
    AddBooks({Book("a.pdf"), Book("b.pdf")});
    std::vector<std::string> disabledDuringRun;
    bool stopShown = false;
    QTimer::singleShot(0, window.get(), [&] {
        for (QWidget* control : {static_cast<QWidget*>(Page().btnadd), static_cast<QWidget*>(Page().btnsbrecentfile),
                                 static_cast<QWidget*>(Page().btnadddir), static_cast<QWidget*>(Page().btnRemove),
                                 static_cast<QWidget*>(Page().btnClear), static_cast<QWidget*>(Page().btnHotdirectory),
                                 static_cast<QWidget*>(Page().lvFiles)})
            if (!control->isEnabled())
                disabledDuringRun.push_back(control->objectName().toStdString());
        if (!window->Actions().actOption->isEnabled())
            disabledDuringRun.push_back("actOption");
        stopShown = Page().btnStopConvert->isVisible() && !Page().btnConvert->isVisible();
    });
    Convert();
    EXPECT_EQ(disabledDuringRun, (std::vector<std::string>{"btnadd", "btnsbrecentfile", "btnadddir", "btnRemove",
                                                           "btnClear", "btnHotdirectory", "lvFiles", "actOption"}));
    EXPECT_TRUE(stopShown);
    EXPECT_TRUE(Page().btnadd->isEnabled());
}

TEST_F(BatchRunTest, FilesWithoutAnEpubAreMarkedFailedAndTheRunGoesOn)
{
    const std::string a = Book("in/a.pdf");
    const std::string b = Book("in/b.txt");
    const std::string c = Book("in/c.rtf");
    AddBooks({a, b, c});
    // b's sub-folder cannot be made: a file has its name.
    test::WriteFile(out + "/b", "in the way");

    Convert();

    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemFailed, kItemSucceeded}));
    EXPECT_EQ(Column(kColumnInformation), (std::vector<std::string>{"Save to: a.epub", "", "Save to: c.epub"}));
    EXPECT_EQ(Column(kColumnOutFileName), (std::vector<std::string>{out + "/a.epub", "", out + "/c.epub"}));
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{"Task begin...", LoadLine(a), ConvertLine("a.epub", true), LoadLine(b),
                                        ConvertLine("b.epub", false), LoadLine(c), ConvertLine("c.epub", true),
                                        "Task End"}));
    EXPECT_EQ(test::ReadFile(out + "/b"), "in the way");
}

TEST_F(BatchRunTest, EveryConverterFaultMarksTheItemFailed)
{
    const std::string a = Book("a.pdf");
    AddBooks({a});
    for (const test::ConverterFault& fault : test::kConverterFaults) {
        SCOPED_TRACE(fault.name);
        const test::ScopedConverterFault scoped(fault);
        std::filesystem::remove_all(out + "/a");
        Convert();
        EXPECT_EQ(States(), (std::vector<int>{kItemFailed}));
        EXPECT_EQ(LogLines().end()[-2], ConvertLine("a.epub", false));
    }
}

TEST_F(BatchRunTest, TheQuestionAtTheEndOpensTheLastOutputOrTheOutputFolder)
{
    const std::string a = Book("a.pdf");
    const std::string b = Book("b.pdf");
    AddBooks({a, b});

    // Nothing lies at the last nominal output path (the EPUBs are in
    // sub-folders): Explorer opens the output folder itself.
    boxes.answer = kIdOk;
    Convert();
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].first, "explorer.exe");
    EXPECT_EQ(launcher.launches[0].second, " /n, \"" + out + "/\"");

    // A file at the last nominal output path is shown selected.
    test::WriteFile(out + "/b.epub", "an older book");
    Convert();
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_EQ(launcher.launches[1].second, " /n,/select, \"" + out + "/b.epub\"");

    // Every file failing still asks; the same list again into the same folder
    // counts the EPUBs of the earlier run as converted.
    const test::ScopedEnv nothingWritten("KELVRA_FAKE_WRITE", std::string("none"));
    Convert();
    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemSucceeded}));
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    Convert();
    EXPECT_EQ(States(), (std::vector<int>{kItemFailed, kItemFailed}));
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.boxes[3].text, "Language string 14");
    ASSERT_EQ(launcher.launches.size(), 4u);
    EXPECT_EQ(launcher.launches[3].second, " /n, \"" + out + "/\"");
}

TEST_F(BatchRunTest, CancellingTheFolderDialogChangesNothing)
{
    AddBooks({Book("a.pdf")});
    items->SetImageIndex(0, kItemFailed);
    const QString savePath = AppSettings().SavePath();
    picker.answer.reset();

    Convert();

    EXPECT_EQ(picker.requests.size(), 1u);
    EXPECT_TRUE(LogLines().empty());
    EXPECT_EQ(States(), (std::vector<int>{kItemFailed}));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(Page().pnlLog->isVisible());
    EXPECT_EQ(window->StatusPanelText(0), "");
    EXPECT_EQ(AppSettings().SavePath(), savePath);
    EXPECT_TRUE(Page().btnadd->isEnabled());
}

TEST_F(BatchRunTest, AVanishedFileStopsTheRunBeforeAnyConversion)
{
    const std::string a = Book("a.pdf");
    const std::string b = Book("b.pdf");
    const std::string c = Book("c.pdf");
    AddBooks({a, b, c});
    items->SetImageIndex(0, kItemFailed);
    items->SetResultTexts(0, "old", "old");
    items->SetImageIndex(2, kItemSucceeded);
    items->SetResultTexts(2, "Save to: c.epub", "/old/c.epub");
    std::filesystem::remove(b);
    const QString savePath = AppSettings().SavePath();

    Convert();

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Language string 13");
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, 0x31u);
    EXPECT_EQ(States(), (std::vector<int>{kItemPending, kItemPending, kItemSucceeded}));
    EXPECT_EQ(Column(kColumnInformation), (std::vector<std::string>{"", "", "Save to: c.epub"}));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin..."}));
    EXPECT_TRUE(std::filesystem::is_empty(out));
    EXPECT_EQ(AppSettings().SavePath(), savePath);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_TRUE(Page().pnlLog->isVisible());
    EXPECT_TRUE(Page().btnConvert->isVisible());
    EXPECT_FALSE(Page().btnStopConvert->isVisible());
    EXPECT_TRUE(Page().lvFiles->isEnabled());
    EXPECT_TRUE(window->Actions().actOption->isEnabled());
}

TEST_F(BatchRunTest, StopConvertTakesEffectBetweenFiles)
{
    const std::string a = Book("a.pdf");
    AddBooks({a, Book("b.pdf"), Book("c.pdf")});
    // Clicked while the first file converts: seen once that file is done.
    QTimer::singleShot(0, window.get(), [this] { Page().btnStopConvert->click(); });

    Convert();

    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemPending, kItemPending}));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin...", LoadLine(a), ConvertLine("a.epub", true),
                                                    "Language string 21", "Task End"}));
    EXPECT_FALSE(FileExists(out + "/b/b.epub"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Language string 14");
    // The last item's nominal output path decides Explorer's parameters.
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].second, " /n, \"" + out + "/\"");
    EXPECT_TRUE(window->StopRequested);
}

TEST_F(BatchRunTest, ClosingTheWindowDuringARunEndsItWithoutTheQuestion)
{
    const std::string a = Book("a.pdf");
    AddBooks({a, Book("b.pdf")});
    QTimer::singleShot(0, window.get(), [this] { window->close(); });

    Convert();

    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemPending}));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin...", LoadLine(a), ConvertLine("a.epub", true),
                                                    "Task End"}));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(launcher.launches.empty());
}

TEST_F(BatchRunTest, AnErrorInsideTheConversionIsReportedAndLoggedTwice)
{
    class FailingRunner final : public ProcessRunner {
    public:
        ProcessOutcome RunAndWait(const ProcessCommand&) override
        {
            throw std::system_error(EAGAIN, std::generic_category(), "posix_spawn setup");
        }
    } failing;
    run->SetConverter(ConverterProgram{AppFolderFile("ebook.exe"), &failing});
    const std::string a = Book("a.pdf");
    AddBooks({a});
    test::WriteFile(out + "/a.epub", ""); // an empty file at the nominal output path goes

    Convert();

    const std::string message = std::system_error(EAGAIN, std::generic_category(), "posix_spawn setup").what();
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin...", LoadLine(a), ConvertLine("a.epub", false), message,
                                                    ConvertLine("a.epub", false), "Task End"}));
    EXPECT_EQ(States(), (std::vector<int>{kItemFailed}));
    EXPECT_FALSE(FileExists(out + "/a.epub"));
}

TEST_F(BatchRunTest, FilesDroppedDuringARunAreListedButNotConverted)
{
    const std::string a = Book("one/a.pdf");
    const std::string b = Book("one/b.pdf");
    // Imported lists keep duplicate names; the drop's duplicate removal then
    // takes the second a.pdf out of the list while the run is on.
    const std::string listFile = dir.File("list.txt");
    test::WriteFile(listFile, a + "\r\n" + b + "\r\n" + Book("two/a.pdf") + "\r\n");
    dialogs.answers.push_back({listFile});
    window->Actions().actImport->trigger();
    ASSERT_EQ(items->Count(), 3);
    const std::string dropped = Book("three/d.pdf");
    // Dropped on the list, which is disabled while the run goes on.
    bool accepted = false;
    QTimer::singleShot(0, window.get(), [&] {
        accepted = DropOn(Page().lvFiles->viewport(), {QUrl::fromLocalFile(QString::fromStdString(dropped))});
    });

    Convert();

    EXPECT_TRUE(accepted);
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{a, b, dropped}));
    EXPECT_EQ(States(), (std::vector<int>{kItemSucceeded, kItemSucceeded, kItemPending}));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Task begin...", LoadLine(a), ConvertLine("a.epub", true),
                                                    LoadLine(b), ConvertLine("b.epub", true), "Task End"}));
    EXPECT_FALSE(FileExists(out + "/d/d.epub"));
}

} // namespace
} // namespace kelvra
