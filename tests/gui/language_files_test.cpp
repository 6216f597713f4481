// The shipped language files against the real windows: every key names a
// component and a property that exist, both files translate the same texts,
// and a second language changes what the windows show.

#include "gui/quorran_window.h"
#include "i18n/language.h"
#include "i18n/translatable_property.h"
#include "settings/cd_settings.h"
#include "settings/option_dialog.h"
#include "tests/gui/recording_message_boxes.h"
#include "tests/gui/store_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace kelvra {
namespace {

const std::string kFolder = KELVRA_I18N_DIR;

// The keys of one section, in file order (comments and blank lines skipped).
std::vector<std::pair<QString, QString>> SectionLines(const std::string& file, const QString& section)
{
    QFile text(QString::fromStdString(file));
    EXPECT_TRUE(text.open(QIODevice::ReadOnly)) << file;
    std::vector<std::pair<QString, QString>> lines;
    bool inside = false;
    for (const QByteArray& raw : text.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inside = line.compare(QLatin1Char('[') + section + QLatin1Char(']'), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inside || line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            lines.emplace_back(line.left(equals).trimmed(), line.mid(equals + 1));
    }
    return lines;
}

class LanguageFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<AppSettingsModule>();
        settings->Load();
        services.messageBoxes = &boxes;
        services.trayAvailable = [] { return false; };
    }

    void TearDown() override { LanguageFile.clear(); }

    test::StoreFixture store;
    std::unique_ptr<AppSettingsModule> settings;
    test::RecordingMessageBoxes boxes;
    WindowServices services;
};

TEST_F(LanguageFilesTest, EveryWindowKeyNamesAComponentAndAProperty)
{
    TfrmQuorran window(services);
    Tfrmoption dialog(AppSettings(), &boxes, std::string());
    for (const char* language : {"English.lng", "Deutsch.lng"}) {
        for (QWidget* form : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&dialog)}) {
            for (const auto& [key, value] : SectionLines(kFolder + "/" + language, form->objectName())) {
                SCOPED_TRACE(std::string(language) + " " + key.toStdString());
                const QString component = key.section(QLatin1Char('.'), 0, 0);
                const QString property = key.section(QLatin1Char('.'), 1);
                QObject* target = component.isEmpty() ? form : form->findChild<QObject*>(component);
                ASSERT_NE(target, nullptr);
                EXPECT_TRUE(FindTranslatableProperty(target, property).has_value());
            }
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(LanguageFilesTest, TheSecondLanguageTranslatesWhatEnglishDoes)
{
    for (const char* section : {"Strings", "frmQuorran", "frmoption"}) {
        SCOPED_TRACE(section);
        std::set<QString> english;
        std::set<QString> german;
        for (const auto& line : SectionLines(kFolder + "/English.lng", QString::fromLatin1(section)))
            english.insert(line.first.toLower());
        for (const auto& line : SectionLines(kFolder + "/Deutsch.lng", QString::fromLatin1(section)))
            german.insert(line.first.toLower());
        EXPECT_FALSE(english.empty());
        EXPECT_EQ(english, german);
    }
}

TEST_F(LanguageFilesTest, GermanChangesTheTextsOfBothWindows)
{
    LanguageFile = kFolder + "/Deutsch.lng";
    TfrmQuorran window(services);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(window.windowTitle(), "Kelvra Converter"); // the program title always wins
    EXPECT_EQ(window.findChild<QAbstractButton*>(QStringLiteral("btnNext"))->text(), "&Weiter >");
    EXPECT_EQ(window.findChild<QAbstractButton*>(QStringLiteral("btnConvert"))->text(), "Umwandeln");
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("btnadd"))->toolTip(), QString::fromUtf8("Hinzufügen"));
    auto* list = window.findChild<QTreeView*>(QStringLiteral("lvFiles"));
    EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("Größe"));
    EXPECT_EQ(list->model()->headerData(4, Qt::Horizontal).toString(), "Ausgabedatei");

    Tfrmoption dialog(AppSettings(), &boxes, LanguageFile);
    EXPECT_EQ(dialog.windowTitle(), "Optionen");
    EXPECT_EQ(dialog.btncancel->text(), "Abbrechen");
    ASSERT_EQ(dialog.cbblevel->count(), 3);
    EXPECT_EQ(dialog.cbblevel->itemText(2), QString::fromUtf8("Ausführlich"));
}

TEST_F(LanguageFilesTest, ABadValueIsReportedAndTheWindowStillOpens)
{
    test::TempDir folder;
    const std::string file = folder.File("Broken.lng");
    QFile broken(QString::fromStdString(file));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[frmoption]\nbtnok.Caption=Go\nseloop.MaxValue=fifty\nbtncancel.Caption=Stop\n");
    broken.close();
    Tfrmoption dialog(AppSettings(), &boxes, file);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "'fifty' is not a valid integer value");
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(dialog.btnok->text(), "Go");
    EXPECT_EQ(dialog.btncancel->text(), "Cancel");
}

} // namespace
} // namespace kelvra
