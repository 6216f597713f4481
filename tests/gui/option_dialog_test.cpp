// The application settings and the Option dialog, on a real store file.

#include "core/app_folders.h"
#include "platform/app_paths.h"
#include "settings/cd_settings.h"
#include "settings/option_dialog.h"
#include "tests/gui/recording_message_boxes.h"
#include "tests/gui/store_fixture.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

const std::string kKey = kAppSettingsKey;

class AppSettingsTest : public ::testing::Test {
protected:
    test::StoreFixture store;
};

TEST_F(AppSettingsTest, FirstRunWritesAllElevenSettingsWithTheirDefaults)
{
    {
        AppSettingsModule module;
        module.Load();
        EXPECT_EQ(AppSettings().SavePath().toStdString(), DocumentsFolder() + "Kelvra Converter");
        EXPECT_EQ(AppSettings().Applocation().toStdString(), ApplicationFileName());
    }
    auto saved = store.Open(kKey);
    ASSERT_NE(saved, nullptr);
    struct Value {
        const char* name;
        RegDataType type;
    } const values[] = {
        {"LogDir", RegDataType::String},     {"Indir", RegDataType::String},      {"OutDir", RegDataType::String},
        {"SubDir", RegDataType::Integer},    {"SavePath", RegDataType::String},   {"MUseOption", RegDataType::Integer},
        {"MVerbose", RegDataType::Integer},  {"MPixelW", RegDataType::String},    {"MPixelH", RegDataType::String},
        {"MLoop", RegDataType::Integer},     {"Applocation", RegDataType::String},
    };
    for (const Value& v : values) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(saved->GetDataType(v.name), v.type);
    }
    EXPECT_FALSE(saved->ValueExists("AutoLoad"));
    EXPECT_FALSE(saved->ValueExists("RegistryKey"));
    EXPECT_EQ(saved->ReadInteger("MVerbose"), 1);
    EXPECT_EQ(saved->ReadString("MPixelW"), "0");
    EXPECT_EQ(saved->ReadString("SavePath"), DocumentsFolder() + "Kelvra Converter");
}

TEST_F(AppSettingsTest, AStoredApplocationIsKept)
{
    store.WriteString(kKey, "Applocation", "/opt/old/kelvra");
    {
        AppSettingsModule module;
        module.Load();
        EXPECT_EQ(AppSettings().Applocation(), "/opt/old/kelvra");
    }
    EXPECT_EQ(store.Open(kKey)->ReadString("Applocation"), "/opt/old/kelvra");
}

TEST_F(AppSettingsTest, AnUnreadableValueFailsTheLoadAndTheFinalSaveReplacesIt)
{
    store.WriteString(kKey, "LogDir", "/logs");
    store.WriteString(kKey, "MLoop", "twelve"); // a string where a DWORD belongs
    store.WriteInteger(kKey, "MVerbose", 2);    // lies before MLoop in table order
    {
        AppSettingsModule module;
        try {
            module.Load();
            FAIL() << "the load must fail";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'MLoop'");
        }
        EXPECT_EQ(AppSettings().LogDir(), "/logs");
        EXPECT_EQ(AppSettings().MVerbose(), 2);
    }
    auto saved = store.Open(kKey);
    EXPECT_EQ(saved->GetDataType("MLoop"), RegDataType::Integer);
    EXPECT_EQ(saved->ReadInteger("MLoop"), 0);
    EXPECT_EQ(saved->ReadString("LogDir"), "/logs");
    AppSettingsModule next;
    EXPECT_NO_THROW(next.Load());
}

class OptionDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = std::make_unique<AppSettingsModule>();
        module->Load();
    }

    std::unique_ptr<Tfrmoption> Open()
    {
        auto dialog = std::make_unique<Tfrmoption>(AppSettings(), &boxes, std::string());
        dialog->show();
        return dialog;
    }

    test::StoreFixture store;
    test::RecordingMessageBoxes boxes;
    std::unique_ptr<AppSettingsModule> module;
};

TEST_F(OptionDialogTest, ComponentsHaveTheirNamesCaptionsAndPlaces)
{
    auto dialog = Open();
    EXPECT_EQ(dialog->objectName(), "frmoption");
    EXPECT_EQ(dialog->windowTitle(), "Option");
    struct Place {
        QWidget* widget;
        const char* name;
        QRect geometry;
    } const places[] = {
        {dialog->grpparam, "grpparam", {16, 16, 313, 193}},
        {dialog->btnok, "btnok", {166, 224, 75, 25}},
        {dialog->btncancel, "btncancel", {251, 224, 75, 25}},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(p.widget->objectName(), p.name);
        EXPECT_EQ(p.widget->geometry(), p.geometry);
    }
    EXPECT_EQ(dialog->cbblevel->geometry().topLeft(), QPoint(127, 29));
    EXPECT_EQ(dialog->seloop->width(), 147);
    EXPECT_EQ(dialog->chkoption->text(), "Use Option");
    EXPECT_EQ(dialog->btnok->text(), "Ok");
    EXPECT_TRUE(dialog->btnok->isDefault());
    EXPECT_EQ(dialog->cbblevel->count(), 3);
    EXPECT_EQ(dialog->cbblevel->itemText(2), "debug");
    EXPECT_FALSE(dialog->cbblevel->isEditable());
    EXPECT_EQ(dialog->seloop->maximum(), 9999);
    for (const char* name : {"lblverbose", "lblpixelx", "lblpixely", "lblloop", "edtwidth", "edtheight"})
        EXPECT_NE(dialog->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(OptionDialogTest, ShowFillsFromTheSettingsAndTheSwitchGreysTheGroup)
{
    AppSettings().SetMPixelW(QStringLiteral("640"));
    AppSettings().SetMLoop(12000);
    auto dialog = Open();
    EXPECT_FALSE(dialog->chkoption->isChecked());
    EXPECT_FALSE(dialog->grpparam->isEnabled());
    EXPECT_FALSE(dialog->edtwidth->isEnabled());
    EXPECT_TRUE(dialog->chkoption->isEnabled());
    EXPECT_EQ(dialog->cbblevel->currentIndex(), 1);
    EXPECT_EQ(dialog->edtwidth->text(), "640");
    EXPECT_EQ(dialog->seloop->value(), 9999);

    QTest::mouseClick(dialog->chkoption, Qt::LeftButton);
    EXPECT_TRUE(dialog->chkoption->isChecked());
    for (QWidget* w : dialog->grpparam->findChildren<QWidget*>())
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    QTest::mouseClick(dialog->chkoption, Qt::LeftButton);
    EXPECT_FALSE(dialog->seloop->isEnabled());
}

TEST_F(OptionDialogTest, PixelFieldsTakeOnlyDigitsMinusAndFullStop)
{
    AppSettings().SetMUseOption(true);
    auto dialog = Open();
    dialog->edtwidth->clear();
    dialog->edtwidth->setFocus();
    QTest::keyClicks(dialog->edtwidth, QStringLiteral("1a-b.2 x"));
    EXPECT_EQ(dialog->edtwidth->text(), "1-.2");
    QTest::keyClick(dialog->edtwidth, Qt::Key_Backspace);
    EXPECT_EQ(dialog->edtwidth->text(), "1-.");
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    QTest::keyClick(dialog->edtheight, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(dialog->edtheight->text(), "0");

    struct Case {
        char16_t key;
        bool passes;
    } const cases[] = {{u'0', true}, {u'9', true}, {u'-', true}, {u'.', true}, {8, true},    {13, true},
                       {u'a', false}, {u' ', false}, {u',', false}, {22, false}, {3, false}, {u'+', false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.key));
        EXPECT_EQ(NumericKeyFilter(c.key), c.passes ? c.key : 0);
    }
}

TEST_F(OptionDialogTest, OkStoresTheFiveValuesAndSavesAtOnce)
{
    auto dialog = Open();
    QTest::mouseClick(dialog->chkoption, Qt::LeftButton);
    dialog->cbblevel->setCurrentIndex(2);
    dialog->edtwidth->setText(QStringLiteral("800"));
    dialog->edtheight->setText(QString());
    dialog->seloop->setValue(12);
    QTest::mouseClick(dialog->btnok, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    auto saved = store.Open(kKey);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->ReadInteger("MUseOption"), 1);
    EXPECT_EQ(saved->ReadInteger("MVerbose"), 2);
    EXPECT_EQ(saved->ReadString("MPixelW"), "800");
    EXPECT_EQ(saved->ReadString("MPixelH"), "");
    EXPECT_EQ(saved->ReadInteger("MLoop"), 12);
    EXPECT_TRUE(saved->ValueExists("SavePath"));
}

TEST_F(OptionDialogTest, CancelStoresNothing)
{
    auto dialog = Open();
    dialog->edtwidth->setText(QStringLiteral("1234"));
    dialog->seloop->setValue(7);
    QTest::mouseClick(dialog->btncancel, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(AppSettings().MPixelW(), "0");
    EXPECT_EQ(AppSettings().MLoop(), 0);
    EXPECT_EQ(store.Open(kKey), nullptr);

    auto escaped = Open();
    escaped->edtwidth->setText(QStringLiteral("99"));
    QTest::keyClick(escaped.get(), Qt::Key_Escape);
    EXPECT_EQ(escaped->result(), QDialog::Rejected);
    EXPECT_EQ(AppSettings().MPixelW(), "0");
}

TEST_F(OptionDialogTest, AnUnknownLevelShowsNoneAndOkStoresMinusOne)
{
    AppSettings().SetMVerbose(7);
    auto dialog = Open();
    EXPECT_EQ(dialog->cbblevel->currentIndex(), -1);
    dialog->btnokClick();
    EXPECT_EQ(AppSettings().MVerbose(), -1);
    EXPECT_EQ(store.Open(kKey)->ReadInteger("MVerbose"), -1);
}

TEST_F(OptionDialogTest, AFailedSaveIsReportedAndTheDialogStaysOpen)
{
    // The store's folder is a file: nothing can be written.
    const std::string blocker = store.ConfigHome() + "/Tarnwick";
    ASSERT_TRUE(QFile(QString::fromStdString(blocker)).open(QIODevice::WriteOnly));
    auto dialog = Open();
    dialog->edtwidth->setText(QStringLiteral("5"));
    dialog->btnokClick();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Kelvra Converter");
    EXPECT_EQ(boxes.boxes[0].flags, kMbOk | kMbIconError);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->edtwidth->text(), "5");
}

} // namespace
} // namespace kelvra
