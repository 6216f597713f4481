#include "i18n/charset.h"
#include "i18n/translate_form.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace kelvra {
namespace {

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList ListItems(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QStringList HeaderCaptions(const QTreeWidget* view)
{
    QStringList captions;
    for (int i = 0; i < view->columnCount(); ++i)
        captions << view->headerItem()->text(i);
    return captions;
}

QStringList NodeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts << (*it)->text(0);
    return texts;
}

// A small window of plain Qt widgets named like the components of a form.
struct TestWindow {
    TestWindow()
    {
        window.setObjectName("frmoption");
        window.setWindowTitle("Option");
        window.setProperty("Note", QString("note"));
        auto* layout = new QVBoxLayout(&window);
        group->setObjectName("grpparam");
        auto* groupLayout = new QVBoxLayout(group);
        label->setObjectName("lblverbose");
        label->setText("Verbose(level):");
        combo->setObjectName("cbblevel");
        combo->addItems({ "Quiet", "Default", "debug" });
        spin->setObjectName("seloop");
        spin->setRange(0, 9999);
        edit->setObjectName("edtwidth");
        for (QWidget* child : std::initializer_list<QWidget*> { label, combo, spin, edit })
            groupLayout->addWidget(child);
        check->setObjectName("chkoption");
        check->setText("Use Option");
        button->setObjectName("btnok");
        button->setText("Ok");
        memo->setObjectName("memLog");
        list->setObjectName("lbList");
        listView->setObjectName("lvFiles");
        listView->setRootIsDecorated(false);
        listView->setHeaderLabels({ "Name", "Information", "Size", "Full file name", "Out file name" });
        tree->setObjectName("tvTree");
        auto* a = new QTreeWidgetItem(tree, QStringList("A"));
        new QTreeWidgetItem(a, QStringList("A1"));
        new QTreeWidgetItem(a, QStringList("A2"));
        new QTreeWidgetItem(tree, QStringList("B"));
        pages->setObjectName("pageConvert");
        page->setObjectName("tsMode");
        pages->addTab(page, "Mode");
        for (QWidget* child : std::initializer_list<QWidget*> { group, check, button, memo, list, listView, tree, pages })
            layout->addWidget(child);
        action->setObjectName("actConvert");
        action->setText("Convert");
        menu->setObjectName("pmTray");
    }

    QWidget window;
    QGroupBox* group = new QGroupBox(&window);
    QLabel* label = new QLabel;
    QComboBox* combo = new QComboBox;
    QSpinBox* spin = new QSpinBox;
    QLineEdit* edit = new QLineEdit;
    QCheckBox* check = new QCheckBox(&window);
    QPushButton* button = new QPushButton(&window);
    QPlainTextEdit* memo = new QPlainTextEdit(&window);
    QListWidget* list = new QListWidget(&window);
    QTreeWidget* listView = new QTreeWidget(&window);
    QTreeWidget* tree = new QTreeWidget(&window);
    QTabWidget* pages = new QTabWidget(&window);
    QWidget* page = new QWidget;
    QAction* action = new QAction(&window);
    QMenu* menu = new QMenu(&window);
};

class TranslateFormTest : public ::testing::Test {
protected:
    ~TranslateFormTest() override { QApplication::setLayoutDirection(Qt::LeftToRight); }

    // Writes a language file with the given [Font] and [frmoption] lines and
    // translates the window with it.
    void Translate(const std::string& font, const std::string& section)
    {
        test::WriteFile(m_folder.File("t.lng"), "[Font]\n" + font + "\n[frmoption]\n" + section + "\n");
        EXPECT_TRUE(TranslateForm(&m_form.window, m_folder.File("t.lng")));
    }

    std::string TranslateExpectingError(const std::string& font, const std::string& section)
    {
        try {
            Translate(font, section);
        } catch (const std::exception& error) {
            return error.what();
        }
        return "no error";
    }

    test::TempDir m_folder;
    TestWindow m_form;
};

TEST_F(TranslateFormTest, TheWindowIsNamedByAnEmptyOrItsOwnComponentName)
{
    const struct {
        const char* line;
        const char* title;
    } cases[] = {
        { ".Caption=X", "X" },
        { "frmoption.Caption=X", "X" },
        { "FRMOPTION.Caption=X", "X" },
        { "Caption=X", "Option" },
        { "a.b.c=X", "Option" },
        { "frmoption.=X", "Option" },
        { "  frmoption.Caption\t=X", "X" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        m_form.window.setWindowTitle("Option");
        Translate("", c.line);
        EXPECT_EQ(m_form.window.windowTitle(), c.title);
    }
}

TEST_F(TranslateFormTest, EachPropertyNameReachesItsWidget)
{
    const struct {
        const char* line;
        std::function<QVariant(TestWindow&)> actual;
        QVariant expected;
    } cases[] = {
        { "lblverbose.Caption=Level:", [](TestWindow& f) { return f.label->text(); }, "Level:" },
        { "btnok.Caption=O||K", [](TestWindow& f) { return f.button->text(); }, "O\nK" },
        { "btnok.Hint=Press", [](TestWindow& f) { return f.button->toolTip(); }, "Press" },
        { "grpparam.Caption=Group", [](TestWindow& f) { return f.group->title(); }, "Group" },
        { "chkoption.caption=Use it", [](TestWindow& f) { return f.check->text(); }, "Use it" },
        { "edtwidth.Text=12", [](TestWindow& f) { return f.edit->text(); }, "12" },
        { "edtwidth.placeholderText=pixels", [](TestWindow& f) { return f.edit->placeholderText(); }, "pixels" },
        { "cbblevel.Items=A||B||C", [](TestWindow& f) { return ComboItems(f.combo); }, QStringList({ "A", "B", "C" }) },
        { "cbblevel.Items=", [](TestWindow& f) { return ComboItems(f.combo); }, QStringList({ "" }) },
        { "cbblevel.Items=A\\||B", [](TestWindow& f) { return ComboItems(f.combo); }, QStringList({ "A||B" }) },
        { "cbblevel.Items=\"A||B\"||C", [](TestWindow& f) { return ComboItems(f.combo); }, QStringList({ "A||B", "C" }) },
        { "memLog.Lines=one||two", [](TestWindow& f) { return f.memo->toPlainText(); }, "one\ntwo" },
        { "lbList.Items=x||y", [](TestWindow& f) { return ListItems(f.list); }, QStringList({ "x", "y" }) },
        { "seloop.MaxValue=50", [](TestWindow& f) { return f.spin->maximum(); }, 50 },
        { "seloop.MaxValue= $20", [](TestWindow& f) { return f.spin->maximum(); }, 32 },
        { "seloop.MinValue=-0x10", [](TestWindow& f) { return f.spin->minimum(); }, -16 },
        { "btnok.Width=123", [](TestWindow& f) { return f.button->width(); }, 123 },
        { "btnok.Tag=5", [](TestWindow& f) { return f.button->property("Tag"); }, 5 },
        { "actConvert.Caption=Go", [](TestWindow& f) { return f.action->text(); }, "Go" },
        { "actConvert.Hint=Convert now", [](TestWindow& f) { return f.action->toolTip(); }, "Convert now" },
        { "pmTray.Caption=Tray", [](TestWindow& f) { return f.menu->title(); }, "Tray" },
        { "tsMode.Caption=Start", [](TestWindow& f) { return f.pages->tabText(0); }, "Start" },
        { "lvFiles.Columns=N||I", [](TestWindow& f) { return HeaderCaptions(f.listView); },
            QStringList({ "N", "I", "Size", "Full file name", "Out file name" }) },
        { "tvTree.Items=R||S||T", [](TestWindow& f) { return NodeTexts(f.tree); }, QStringList({ "R", "S", "T", "B" }) },
        { ".Note=a||b", [](TestWindow& f) { return f.window.property("Note"); }, "a\r\nb" },
        // Ignored: no such component, no such property, kinds not translated.
        { "nobody.Caption=X", [](TestWindow& f) { return f.window.windowTitle(); }, "Option" },
        { "btnok.Nothing=X", [](TestWindow& f) { return f.button->text(); }, "Ok" },
        { "chkoption.Checked=1", [](TestWindow& f) { return f.check->isChecked(); }, false },
        { "lvFiles.Items=a", [](TestWindow& f) { return f.listView->topLevelItemCount(); }, 0 },
        { "btnok.objectName=renamed", [](TestWindow& f) { return f.button->objectName(); }, "btnok" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TestWindow fresh;
        test::WriteFile(m_folder.File("t.lng"), std::string("[frmoption]\n") + c.line + "\n");
        TranslateForm(&fresh.window, m_folder.File("t.lng"));
        EXPECT_EQ(c.actual(fresh), c.expected);
    }
}

TEST_F(TranslateFormTest, AnIntegerErrorEndsTheTranslationAtThatKey)
{
    const std::string message = TranslateExpectingError("CharSet=greek",
        "btnok.Caption=before\nseloop.MaxValue=fifty\nlblverbose.Caption=after");
    EXPECT_EQ(message, "'fifty' is not a valid integer value");
    EXPECT_EQ(m_form.button->text(), "before");
    EXPECT_EQ(m_form.label->text(), "Verbose(level):");
    EXPECT_EQ(m_form.spin->maximum(), 9999);
    EXPECT_EQ(FontCharset(&m_form.window), 161);
    EXPECT_EQ(FontCharset(m_form.button), DEFAULT_CHARSET) << "the character set is not passed on";
}

TEST_F(TranslateFormTest, SurplusColumnsAndNodesFailAfterTheEarlierPieces)
{
    EXPECT_EQ(TranslateExpectingError("", "lvFiles.Columns=a||b||c||d||e||f||g"), "List index out of bounds (5)");
    EXPECT_EQ(HeaderCaptions(m_form.listView), QStringList({ "a", "b", "c", "d", "e" }));
    EXPECT_EQ(TranslateExpectingError("", "tvTree.Items=1||2||3||4||5"), "Invalid index");
    EXPECT_EQ(NodeTexts(m_form.tree), QStringList({ "1", "2", "3", "4" }));
}

TEST_F(TranslateFormTest, FontSectionSetsSizeFaceCharacterSetAndDirection)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString installed = families.front();
    const QFont original = m_form.window.font();

    Translate("Size=14\nName=" + installed.toLower().toStdString() + "\nCharSet=greek\nBiDiMode=1", "");
    EXPECT_EQ(m_form.window.font().pointSize(), 14);
    EXPECT_EQ(m_form.window.font().family(), installed);
    EXPECT_EQ(m_form.button->font().pointSize(), 14) << "children follow the window's font";
    for (const QObject* object : std::initializer_list<const QObject*> { &m_form.window, m_form.label, m_form.button,
             m_form.action, m_form.page })
        EXPECT_EQ(FontCharset(object), 161) << object->objectName().toStdString();
    EXPECT_EQ(m_form.window.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(m_form.window.property("BiDiMode"), 1);

    Translate("Size=0\nName=No Such Font Family\nCharSet=204\nBiDiMode=5", "");
    EXPECT_EQ(m_form.window.font().pointSize(), 14);
    EXPECT_EQ(m_form.window.font().family(), installed);
    EXPECT_EQ(FontCharset(m_form.label), DEFAULT_CHARSET);
    EXPECT_EQ(m_form.window.layoutDirection(), Qt::RightToLeft) << "BiDiMode 5 changes nothing";

    Translate("", "");
    EXPECT_EQ(m_form.window.layoutDirection(), Qt::LeftToRight) << "a missing BiDiMode means left to right";
    EXPECT_NE(original.pointSize(), 14);
}

TEST_F(TranslateFormTest, WithoutALanguageFileTheWindowKeepsItsTexts)
{
    SetFontCharset(m_form.button, 161);
    EXPECT_TRUE(TranslateForm(&m_form.window, m_folder.File("missing.lng")));
    EXPECT_EQ(m_form.window.windowTitle(), "Option");
    EXPECT_EQ(m_form.button->text(), "Ok");
    EXPECT_EQ(FontCharset(m_form.button), DEFAULT_CHARSET);
    EXPECT_EQ(m_form.window.layoutDirection(), Qt::LeftToRight);
}

TEST_F(TranslateFormTest, BadLanguageFilesNeverCrash)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 37) % 256);
    const std::string lines[] = {
        junk,
        std::string(3 * 1024 * 1024, '.') + "=x",
        "\"unclosed.Caption=x",
        "=nothing before",
        "btnok.Caption",
        "btnok.Caption=" + std::string(1 << 20, 'y'),
    };
    for (const std::string& line : lines)
        EXPECT_NO_THROW(Translate("Size=huge\r" + junk, line));
    EXPECT_EQ(m_form.button->text(), QString(2047, 'y')) << "the value is cut at 2047 bytes";
}

} // namespace
} // namespace kelvra
