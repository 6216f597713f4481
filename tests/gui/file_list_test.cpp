// The batch page's file list, driven through the real window offscreen: every
// way in and out, duplicates, sorting, the list file format, the actions'
// enabled states and the popup menus.

#include "core/app_folders.h"
#include "gui/action_list.h"
#include "gui/file_list_view.h"
#include "gui/link_label.h"
#include "tests/gui/batch_window_fixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <random>

namespace kelvra {
namespace {

using test::BatchWindowFixture;

class FileListTest : public BatchWindowFixture {
protected:
    QAction* Action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }

    void SelectRows(std::initializer_list<int> rows)
    {
        QItemSelectionModel* selection = Page().lvFiles->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(Page().lvFiles->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void ClickHeader(int column)
    {
        QHeaderView* header = Page().lvFiles->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    std::vector<int> HeaderImages() const
    {
        std::vector<int> images;
        for (int column = 0; column < kFileListColumnCount; ++column)
            images.push_back(items->HeaderImageIndex(column));
        return images;
    }
};

TEST_F(FileListTest, AddTakesSupportedChosenFilesKeepsTheFirstOfEachNameAndShowsThem)
{
    const std::string first = Book("a/x.pdf", 2048);
    const std::string notes = Book("a/notes.t");
    const std::string epub = Book("a/book.epub");
    const std::string sameName = Book("b/X.PDF");
    const std::string missing = dir.File("typed-in.mobi");
    dialogs.answers.push_back({first, notes, epub, sameName, missing});

    Page().btnadd->click();

    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& asked = dialogs.requests[0].request;
    EXPECT_FALSE(dialogs.requests[0].save);
    EXPECT_EQ(asked.filter, "PDF File(*.pdf)|*.pdf|AZW File(*.azw3)|*.azw3|LIT File(*.lit)|*.lit|RTF File(*.rtf)|*.rtf|"
                            "Mobi File(*.mobi)|*.mobi|Text File(*.txt)|*.txt|FB File(*.fb2)|*.fb2");
    EXPECT_EQ(asked.filterIndex, 1);
    EXPECT_TRUE(asked.allowMultiSelect);

    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"x.pdf", "notes.t", "typed-in.mobi"}));
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{first, notes, missing}));
    EXPECT_EQ(Column(kColumnSize), (std::vector<std::string>{"3 KB", "1 KB", "1 KB"}));
    EXPECT_EQ(Column(kColumnInformation), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(Column(kColumnOutFileName), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(States(), (std::vector<int>{kItemPending, kItemPending, kItemPending}));
    EXPECT_FALSE(Page().pnlempty->isVisible());
    EXPECT_TRUE(Action("actConvert")->isEnabled());
    // The view shows the model's texts and the pending picture.
    const QModelIndex cell = Page().lvFiles->model()->index(0, kColumnName);
    EXPECT_EQ(cell.data().toString(), "x.pdf");
    EXPECT_FALSE(cell.data(Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(FileListTest, CancelledAddLeavesTheListAndShowsTheEmptyPanelAgain)
{
    Page().btnadd->click();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_TRUE(Page().pnlempty->isVisible());

    dialogs.answers.push_back({Book("a.pdf")});
    Page().btnadd->click();
    Page().btnadd->click(); // cancelled with items in the list
    EXPECT_EQ(items->Count(), 1);
    EXPECT_FALSE(Page().pnlempty->isVisible());
}

TEST_F(FileListTest, AddFolderReplacesTheListWithTheFolderOwnSupportedFiles)
{
    dialogs.answers.push_back({Book("old/old.pdf")});
    Page().btnadd->click();
    ASSERT_EQ(items->Count(), 1);

    Book("lib/one.pdf");
    Book("lib/two.TXT");
    Book("lib/three.doc");
    Book("lib/report.t");
    Book("lib/deeper/four.pdf");
    std::filesystem::create_directories(dir.File("lib/folder.pdf"));
    picker.answer = dir.File("lib");
    Page().btnadddir->click();

    ASSERT_EQ(picker.requests.size(), 1u);
    EXPECT_EQ(picker.requests[0].title, "Language string 11");
    EXPECT_EQ(picker.requests[0].startFolder, "");
    std::vector<std::string> names = Column(kColumnName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.pdf", "report.t", "two.TXT"}));
    for (const std::string& path : Column(kColumnFullFileName))
        EXPECT_EQ(path.rfind(dir.File("lib/"), 0), 0u) << path;

    // Cancelled: the list stays.
    picker.answer.reset();
    Page().btnadddir->click();
    EXPECT_EQ(items->Count(), 3);

    // A folder without books, confirmed: the list is empty.
    std::filesystem::create_directories(dir.File("empty"));
    Book("empty/readme.doc");
    picker.answer = dir.File("empty");
    Page().btnadddir->click();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_TRUE(Page().pnlempty->isVisible());
    EXPECT_FALSE(Action("actClear")->isEnabled());
}

TEST_F(FileListTest, DroppedLocalFilesAreAddedOnEveryPartOfTheWindow)
{
    const std::string book = Book("drop/a.pdf");
    const std::string mobi = Book("drop/b.MOBI");
    std::filesystem::create_directories(dir.File("drop/folder.pdf"));
    const QList<QUrl> urls = {QUrl::fromLocalFile(QString::fromStdString(book)),
                              QUrl::fromLocalFile(QString::fromStdString(dir.File("drop/folder.pdf"))),
                              QUrl::fromLocalFile(QString::fromStdString(dir.File("drop/gone.pdf"))),
                              QUrl::fromLocalFile(QString::fromStdString(Book("drop/c.epub"))),
                              QUrl(QStringLiteral("https://example.org/d.pdf")),
                              QUrl::fromLocalFile(QString::fromStdString(mobi))};

    EXPECT_TRUE(DropOn(Page().lvFiles->viewport(), urls));
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{book, mobi}));

    // A path far longer than 260 characters arrives whole.
    const std::string deep = test::CreateDeepFolder(dir.path(), 4, 100) + "/deep.pdf";
    test::WriteFile(deep, "x");
    EXPECT_TRUE(DropOn(Page().lvFiles->viewport(), {QUrl::fromLocalFile(QString::fromStdString(deep))}));
    EXPECT_EQ(Column(kColumnFullFileName).back(), deep);
    items->RemoveItemsWhere([](int row, const ConversionListItem&) { return row == 2; });
    EXPECT_FALSE(Page().pnlempty->isVisible());

    // On the hot-folder page, onto an edit box: the list takes the files,
    // the edit box keeps its text. A name already listed is not added again.
    window->actHotDirExecute();
    auto* edit = window->findChild<QLineEdit*>(QStringLiteral("edtindir"));
    ASSERT_NE(edit, nullptr);
    const QString before = edit->text();
    const std::string other = Book("drop2/e.fb2");
    EXPECT_TRUE(DropOn(edit, {QUrl::fromLocalFile(QString::fromStdString(other)),
                              QUrl::fromLocalFile(QString::fromStdString(Book("drop2/A.PDF")))}));
    EXPECT_EQ(edit->text(), before);
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{book, mobi, other}));

    // A drag of no local file is left to the widget.
    QMimeData text;
    text.setText(QStringLiteral("plain words"));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Page().lvFiles->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(FileListTest, ImportReplacesTheListWithTheListedExistingBooksWithoutDuplicateRemoval)
{
    dialogs.answers.push_back({Book("before.pdf")});
    Page().btnadd->click();

    const std::string a = Book("in/a.pdf");
    const std::string b = Book("in/b.rtf");
    const std::string listFile = dir.File("list.txt");
    test::WriteFile(listFile, a + "\r\n" + b + "\n" + a + "\r" + dir.File("in/missing.pdf") + "\r\n" + Book("in/c.doc")
                                  + "\r\n" + a + " \r\n\r\n" + Book("other/A.pdf"));
    dialogs.answers.push_back({listFile});
    Action("actImport")->trigger();

    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].request.filter, "TEXT FILE|*.txt");
    EXPECT_EQ(dialogs.requests[1].request.defaultExtension, ".txt");
    EXPECT_FALSE(dialogs.requests[1].save);
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{a, b, a, dir.File("other/A.pdf")}));
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"a.pdf", "b.rtf", "a.pdf", "A.pdf"}));

    // Cancelled: nothing changes.
    Action("actImport")->trigger();
    EXPECT_EQ(items->Count(), 4);
}

TEST_F(FileListTest, ImportOfAnUnreadableFileReportsAndKeepsTheList)
{
    dialogs.answers.push_back({Book("kept.pdf")});
    Page().btnadd->click();
    dialogs.answers.push_back({dir.File("no-such-list.txt")});
    Action("actImport")->trigger();

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("no-such-list.txt"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"kept.pdf"}));
}

TEST_F(FileListTest, ExportWritesEveryFullNameWithCrLfInListOrder)
{
    const std::string a = Book("x/b.pdf");
    const std::string b = Book("y/a b.txt");
    dialogs.answers.push_back({a, b});
    Page().btnadd->click();
    const std::string target = dir.File("out.txt");

    dialogs.answers.push_back({}); // cancelled
    Action("actExport")->trigger();
    EXPECT_FALSE(std::filesystem::exists(target));

    test::WriteFile(target, "an older, longer list that must be replaced entirely\r\n");
    dialogs.answers.push_back({target});
    Action("actExport")->trigger();
    ASSERT_EQ(dialogs.requests.size(), 3u);
    const FileDialogRequest& asked = dialogs.requests[2].request;
    EXPECT_TRUE(dialogs.requests[2].save);
    EXPECT_EQ(asked.filter, "TEXT FILE|*.txt");
    EXPECT_EQ(asked.defaultExtension, ".txt");
    EXPECT_TRUE(asked.overwritePrompt);
    EXPECT_EQ(test::ReadFile(target), a + "\r\n" + b + "\r\n");

    // The export read back by Import gives the same list.
    dialogs.answers.push_back({target});
    Action("actImport")->trigger();
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{a, b}));

    // A folder that does not exist: reported, nothing written.
    dialogs.answers.push_back({dir.File("missing/out.txt")});
    Action("actExport")->trigger();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(FileListTest, ExampleLinkAddsTheSampleBesideTheProgramOnce)
{
    auto* link = window->findChild<LinkLabel*>(QStringLiteral("lblexample"));
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_EQ(Column(kColumnFullFileName), (std::vector<std::string>{AppFolderFile("demo.azw3")}));
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"demo.azw3"}));
    list->lblexampleClick();
    EXPECT_EQ(items->Count(), 1);
    EXPECT_TRUE(Action("actConvert")->isEnabled());
}

TEST_F(FileListTest, RemoveClearAndRemoveByStateDeleteTheRightItems)
{
    dialogs.answers.push_back({Book("1.pdf"), Book("2.pdf"), Book("3.pdf"), Book("4.pdf"), Book("5.pdf")});
    Page().btnadd->click();
    items->SetImageIndex(1, kItemFailed);
    items->SetImageIndex(2, kItemSucceeded);
    items->SetImageIndex(4, kItemFailed);
    window->SetStatusPanelText(0, QStringLiteral("Start Conversion..."));

    Action("actRemveFaile")->trigger();
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"1.pdf", "3.pdf", "4.pdf"}));
    Action("actRemoveSuccess")->trigger();
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"1.pdf", "4.pdf"}));

    // Remove with nothing selected does nothing; removing some keeps the panel.
    Page().lvFiles->selectionModel()->clearSelection();
    Action("actRemove")->trigger();
    EXPECT_EQ(items->Count(), 2);
    SelectRows({1});
    Action("actRemove")->trigger();
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"1.pdf"}));
    EXPECT_EQ(window->StatusPanelText(0), "Start Conversion...");
    // Removing the last one clears it.
    SelectRows({0});
    Action("actRemove")->trigger();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_EQ(window->StatusPanelText(0), "");
    EXPECT_TRUE(Page().pnlempty->isVisible());

    // Clear: every item and every sort mark go; the sort state stays.
    dialogs.answers.push_back({Book("6.pdf"), Book("7.pdf")});
    Page().btnadd->click();
    ClickHeader(kColumnName);
    window->SetStatusPanelText(0, QStringLiteral("Start Conversion..."));
    Action("actClear")->trigger();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_EQ(HeaderImages(), std::vector<int>(5, kNoImage));
    EXPECT_EQ(window->StatusPanelText(0), "");
    EXPECT_EQ(window->SortColumn, kColumnName);
    EXPECT_TRUE(window->SortAscending);
    for (const char* name : {"actRemove", "actClear", "actConvert", "actOpenFolder", "actRemoveSuccess",
                             "actRemveFaile", "actExport", "mniSelectAll"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Action(name)->isEnabled());
    }
}

TEST_F(FileListTest, SelectAllAndOpenFolderOnTheFirstSelectedItem)
{
    const std::string first = Book("a/first book.pdf");
    const std::string second = Book("b/second.pdf");
    dialogs.answers.push_back({first, second, Book("c/third.pdf")});
    Page().btnadd->click();

    SelectRows({2, 1});
    Action("actOpenFolder")->trigger();
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].first, "explorer.exe");
    EXPECT_EQ(launcher.launches[0].second, " /n,/select, \"" + second + "\"");

    Page().lvFiles->selectionModel()->clearSelection();
    Action("actOpenFolder")->trigger();
    EXPECT_EQ(launcher.launches.size(), 1u);

    Page().mniSelectAll->trigger();
    EXPECT_EQ(Page().lvFiles->selectionModel()->selectedRows().size(), 3);
    Action("actOpenFolder")->trigger();
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_EQ(launcher.launches[1].second, " /n,/select, \"" + first + "\"");
}

TEST_F(FileListTest, HeaderClicksSortWithOneDirectionFlagAndMarkTheColumn)
{
    // Size texts 10 KB, 1,465 KB, 9 KB, 999 KB.
    const auto sized = [this](const std::string& name, std::uintmax_t kilobytes) {
        const std::string path = Book(name, 0);
        std::filesystem::resize_file(path, kilobytes * 1024);
        return path;
    };
    dialogs.answers.push_back(
        {sized("a.pdf", 9), sized("B.pdf", 1464), sized("c.pdf", 8), sized("D.pdf", 998)});
    Page().btnadd->click();
    ASSERT_EQ(Column(kColumnSize), (std::vector<std::string>{"10 KB", "1,465 KB", "9 KB", "999 KB"}));
    SelectRows({1}); // B.pdf

    ClickHeader(kColumnSize);
    EXPECT_EQ(Column(kColumnSize), (std::vector<std::string>{"9 KB", "10 KB", "999 KB", "1,465 KB"}));
    EXPECT_EQ(HeaderImages(), (std::vector<int>{-1, -1, kHeaderSortedAscending, -1, -1}));
    EXPECT_EQ(window->SortColumn, kColumnSize);
    EXPECT_TRUE(window->SortAscending);
    // The selection follows its item.
    const QModelIndexList selected = Page().lvFiles->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 3);

    // The flag flips on every click, whichever column: Name now descending.
    ClickHeader(kColumnName);
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"c.pdf", "a.pdf", "D.pdf", "B.pdf"}));
    EXPECT_EQ(HeaderImages(), (std::vector<int>{kHeaderSortedDescending, -1, -1, -1, -1}));
    EXPECT_FALSE(window->SortAscending);

    // Name ascending: capitals before small letters, byte by byte.
    ClickHeader(kColumnName);
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"B.pdf", "D.pdf", "a.pdf", "c.pdf"}));
    EXPECT_EQ(HeaderImages(), (std::vector<int>{kHeaderSortedAscending, -1, -1, -1, -1}));

    // One click on Name, one on Size: Size descending with the upward mark.
    ClickHeader(kColumnSize);
    EXPECT_EQ(Column(kColumnSize), (std::vector<std::string>{"1,465 KB", "999 KB", "10 KB", "9 KB"}));
    EXPECT_EQ(HeaderImages(), (std::vector<int>{-1, -1, kHeaderSortedDescending, -1, -1}));
    // The header shows the mark as a picture.
    EXPECT_FALSE(Page().lvFiles->model()->headerData(kColumnSize, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_TRUE(Page().lvFiles->model()->headerData(kColumnName, Qt::Horizontal, Qt::DecorationRole).isNull());

    // Items added later go to the end, unsorted.
    dialogs.answers.push_back({sized("e.pdf", 5000)});
    Page().btnadd->click();
    EXPECT_EQ(Column(kColumnName).back(), "e.pdf");
}

TEST_F(FileListTest, PopupMenusHoldTheirEntriesInOrder)
{
    auto* pmFiles = window->findChild<QMenu*>(QStringLiteral("pmFiles"));
    ASSERT_NE(pmFiles, nullptr);
    std::vector<std::string> entries;
    for (QAction* action : pmFiles->actions())
        entries.push_back(action->isSeparator() ? "-" : action->objectName().toStdString());
    EXPECT_EQ(entries, (std::vector<std::string>{"actOpenFolder", "-", "actAdd", "actAddFolder", "-", "mniSelectAll",
                                                 "actRemove", "actClear", "-", "actRemveFaile", "actRemoveSuccess"}));
    EXPECT_EQ(pmFiles->defaultAction(), Action("actOpenFolder"));
    EXPECT_EQ(Page().mniSelectAll->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_EQ(Action("actRemove")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(Action("actRemveFaile")->text(), "R&emove Failed Items");
    EXPECT_EQ(Action("actRemoveSuccess")->text(), "Re&move Succeeded Items");

    auto* pmpoplistfile = window->findChild<QMenu*>(QStringLiteral("pmpoplistfile"));
    ASSERT_NE(pmpoplistfile, nullptr);
    ASSERT_EQ(pmpoplistfile->actions().size(), 2);
    EXPECT_EQ(pmpoplistfile->actions()[0], Action("actImport"));
    EXPECT_EQ(pmpoplistfile->actions()[1], Action("actExport"));
    EXPECT_EQ(Action("actImport")->text(), "I&mport List");
    EXPECT_EQ(Action("actExport")->text(), "&Export List");

    // The arrow button pops the import/export menu up.
    Page().btnsbrecentfile->click();
    EXPECT_TRUE(pmpoplistfile->isVisible());
    pmpoplistfile->hide();

    // Delete removes the selected items while the list has the focus.
    dialogs.answers.push_back({Book("k.pdf"), Book("l.pdf")});
    Page().btnadd->click();
    Page().lvFiles->setFocus();
    SelectRows({0});
    QTest::keyClick(Page().lvFiles, Qt::Key_Delete);
    EXPECT_EQ(Column(kColumnName), (std::vector<std::string>{"l.pdf"}));
}

TEST(ConversionListModelTest, DuplicateRemovalKeepsExactlyWhatTheBackwardWalkKeeps)
{
    // The walk from the last item to the first, deleting an item when any
    // earlier item has the same name (A to Z lower-cased), against the model.
    std::mt19937 random(7);
    const char* const stems[] = {"a", "A", "b", "B", "ab", "Ab", "\xC3\xA9", "\xC3\x89", "a ", " a"};
    std::vector<std::string> paths;
    for (int i = 0; i < 400; ++i)
        paths.push_back("/f" + std::to_string(i % 7) + "/" + stems[random() % 10] + (random() % 2 ? ".pdf" : ".PDF"));

    std::vector<std::string> walk = paths;
    const auto key = [](const std::string& path) {
        std::string name = path.substr(path.rfind('/') + 1);
        for (char& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return name;
    };
    for (int i = static_cast<int>(walk.size()) - 1; i >= 0; --i) {
        for (int j = 0; j < i; ++j) {
            if (key(walk[static_cast<std::size_t>(i)]) == key(walk[static_cast<std::size_t>(j)])) {
                walk.erase(walk.begin() + i);
                break;
            }
        }
    }

    ConversionListModel model(nullptr);
    model.AddListFiles(paths);
    const int removed = model.RemoveDuplicateNames();
    std::vector<std::string> kept;
    for (int row = 0; row < model.Count(); ++row)
        kept.push_back(model.Item(row).fullFileName);
    EXPECT_EQ(kept, walk);
    EXPECT_EQ(removed, static_cast<int>(paths.size() - walk.size()));
    EXPECT_EQ(model.RemoveDuplicateNames(), 0);
}

TEST(ConversionListModelTest, ItemsKeepTheirIdsThroughSortingAndRemoval)
{
    ConversionListModel model(nullptr);
    model.AddListFiles({"/x/c.pdf", "/x/a.pdf", "/x/b.pdf"});
    const std::uint64_t idOfA = model.ItemId(1);
    const std::uint64_t idOfC = model.ItemId(0);
    model.Sort(kColumnName, true);
    EXPECT_EQ(model.RowOfId(idOfA), 0);
    EXPECT_EQ(model.RowOfId(idOfC), 2);
    model.RemoveItemsWhere([](int row, const ConversionListItem&) { return row == 0; });
    EXPECT_EQ(model.RowOfId(idOfA), -1);
    EXPECT_EQ(model.RowOfId(idOfC), 1);
    model.AddListFile("/x/d.pdf");
    EXPECT_EQ(model.RowOfId(model.ItemId(2)), 2);
}

} // namespace
} // namespace kelvra
