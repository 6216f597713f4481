#include "settings/option_dialog.h"

#include "core/application_title.h"
#include "i18n/translate_form.h"
#include "platform/message_box.h"
#include "settings/cd_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <exception>

namespace kelvra {
namespace {

// The dialog's client area: an outer size of 361 by 299 with the system's
// usual frame.
constexpr int kClientWidth = 345;
constexpr int kClientHeight = 260;
constexpr int kFieldHeight = 22;
constexpr int kFieldLeft = 127;

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* PlaceLabel(const char* name, const QString& caption, QWidget* parent, int left, int top)
{
    // As wide as the room up to the fields, so that a longer translated
    // caption still fits.
    auto* label = Named(new QLabel(caption, parent), name);
    label->setGeometry(left, top + 3, kFieldLeft - 2 - left, 16);
    return label;
}

} // namespace

void EnableControlTree(QWidget* control, bool enabled)
{
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EnableControlTree(child, enabled);
    control->setEnabled(enabled);
}

char16_t NumericKeyFilter(char16_t key)
{
    const bool passes = key == 8 || key == 13 || key == u'.' || key == u'-' || (key >= u'0' && key <= u'9');
    return passes ? key : 0;
}

Tfrmoption::Tfrmoption(TcdSettings& settings, MessageBoxService* messageBoxes, const std::string& languageFile,
                       QWidget* centreOn)
    : QDialog(nullptr)
    , m_settings(settings)
    , m_messageBoxes(messageBoxes)
    , m_centreOn(centreOn)
{
    BuildComponents();
    FormCreate(languageFile);
}

void Tfrmoption::BuildComponents()
{
    setObjectName(QStringLiteral("frmoption"));
    setWindowTitle(QStringLiteral("Option"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);
    setFixedSize(kClientWidth, kClientHeight);

    grpparam = Named(new QGroupBox(this), "grpparam");
    grpparam->setGeometry(16, 16, 313, 193);

    lblverbose = PlaceLabel("lblverbose", QStringLiteral("Verbose(level):"), grpparam, 39, 29);
    cbblevel = Named(new QComboBox(grpparam), "cbblevel");
    cbblevel->setEditable(false);
    cbblevel->addItems({QStringLiteral("Quiet"), QStringLiteral("Default"), QStringLiteral("debug")});
    cbblevel->setGeometry(127, 29, 145, kFieldHeight);

    lblpixelx = PlaceLabel("lblpixelx", QStringLiteral("Pixel(width):"), grpparam, 39, 72);
    edtwidth = Named(new QLineEdit(grpparam), "edtwidth");
    edtwidth->setGeometry(127, 69, 145, kFieldHeight);
    edtwidth->installEventFilter(this);

    lblpixely = PlaceLabel("lblpixely", QStringLiteral("Pixel(height):"), grpparam, 39, 114);
    edtheight = Named(new QLineEdit(grpparam), "edtheight");
    edtheight->setGeometry(127, 109, 145, kFieldHeight);
    edtheight->installEventFilter(this);

    lblloop = PlaceLabel("lblloop", QStringLiteral("Loop:"), grpparam, 39, 157);
    seloop = Named(new QSpinBox(grpparam), "seloop");
    seloop->setRange(0, 9999);
    seloop->setValue(0);
    seloop->setGeometry(127, 149, 147, kFieldHeight);

    // The check box lies on the group's top border and serves as its caption;
    // its own background hides the border line behind it.
    chkoption = Named(new QCheckBox(QStringLiteral("Use Option"), this), "chkoption");
    chkoption->setGeometry(24, 12, 73, 17);
    chkoption->setAutoFillBackground(true);
    chkoption->raise();

    btnok = Named(new QPushButton(QStringLiteral("Ok"), this), "btnok");
    btnok->setGeometry(166, 224, 75, 25);
    btnok->setDefault(true);
    btncancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btncancel");
    btncancel->setGeometry(251, 224, 75, 25);

    connect(chkoption, &QCheckBox::toggled, this, &Tfrmoption::chkoptionClick);
    connect(btnok, &QPushButton::clicked, this, &Tfrmoption::btnokClick);
    connect(btncancel, &QPushButton::clicked, this, &Tfrmoption::btncancelClick);
}

void Tfrmoption::FormCreate(const std::string& languageFile)
{
    try {
        TranslateForm(this, languageFile);
    } catch (const std::exception& error) {
        // The dialog opens all the same, with what was applied before the error.
        if (m_messageBoxes != nullptr)
            m_messageBoxes->ShowMessageBox(error.what(), kApplicationTitle, kMbOk | kMbIconError);
    }
    // The check box's caption must show whole in the font of this desktop.
    chkoption->resize(std::max(chkoption->width(), chkoption->sizeHint().width()), chkoption->height());
}

void Tfrmoption::showEvent(QShowEvent* event)
{
    if (m_centreOn != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(m_centreOn->frameGeometry().center());
        move(frame.topLeft());
    }
    FormShow();
    QDialog::showEvent(event);
}

void Tfrmoption::FormShow()
{
    EnableControlTree(grpparam, m_settings.MUseOption());
    chkoption->setChecked(m_settings.MUseOption());
    const int level = m_settings.MVerbose();
    cbblevel->setCurrentIndex(level >= 0 && level < cbblevel->count() ? level : -1);
    edtwidth->setText(m_settings.MPixelW());
    edtheight->setText(m_settings.MPixelH());
    seloop->setValue(m_settings.MLoop());
}

void Tfrmoption::chkoptionClick()
{
    EnableControlTree(grpparam, chkoption->isChecked());
}

void Tfrmoption::btnokClick()
{
    m_settings.SetMUseOption(chkoption->isChecked());
    m_settings.SetMVerbose(cbblevel->currentIndex());
    m_settings.SetMPixelW(edtwidth->text());
    m_settings.SetMPixelH(edtheight->text());
    bool isNumber = false;
    const int loop = seloop->cleanText().toInt(&isNumber);
    m_settings.SetMLoop(isNumber ? loop : seloop->minimum());
    try {
        m_settings.SaveSettings();
    } catch (const std::exception& error) {
        // The dialog stays open: nothing typed is lost.
        if (m_messageBoxes != nullptr)
            m_messageBoxes->ShowMessageBox(error.what(), kApplicationTitle, kMbOk | kMbIconError);
        return;
    }
    accept();
}

void Tfrmoption::btncancelClick()
{
    reject();
}

bool Tfrmoption::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == edtwidth || watched == edtheight) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys that move the focus, close the dialog or edit without typing a
        // character are not characters for the filter.
        const bool typesCharacter = !key->text().isEmpty() && key->key() != Qt::Key_Tab
                                    && key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape
                                    && key->key() != Qt::Key_Delete;
        if (typesCharacter && NumericKeyFilter(key->text().at(0).unicode()) == 0)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kelvra
