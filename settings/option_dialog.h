#pragma once

// The Option dialog "frmoption" (Tfrmoption): shows and stores the five
// Option settings of AppSettings (MUseOption, MVerbose, MPixelW, MPixelH,
// MLoop). Created anew for every opening, translated at creation, filled from
// the settings when shown; OK stores the five values and saves all settings at
// once, Cancel (or Esc, or the close box) stores nothing.
//
// The dialog owns its components; the caller owns the dialog and shows it
// modally. It reads and writes the settings object it is given, which must
// outlive it. Main thread only.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kelvra {

class MessageBoxService;
class TcdSettings;

/// Sets the enabled state of every widget inside `control`, depth first in
/// child order, then of `control` itself.
void EnableControlTree(QWidget* control, bool enabled);

/// The key filter of the pixel fields: Backspace (8), Enter (13), ".", "-"
/// and the digits pass (the character is returned); every other character,
/// control characters included, is discarded (0 is returned).
char16_t NumericKeyFilter(char16_t key);

class Tfrmoption : public QDialog {
    Q_OBJECT
public:
    /// `messageBoxes` shows an error of the save on OK (the dialog then stays
    /// open); `languageFile` is the file the dialog is translated with (empty:
    /// built-in texts). The dialog centres itself on `centreOn` when given.
    Tfrmoption(TcdSettings& settings, MessageBoxService* messageBoxes, const std::string& languageFile,
               QWidget* centreOn = nullptr);

    QGroupBox* grpparam;
    QLabel* lblverbose;
    QComboBox* cbblevel;
    QLabel* lblpixelx;
    QLineEdit* edtwidth;
    QLabel* lblpixely;
    QLineEdit* edtheight;
    QLabel* lblloop;
    QSpinBox* seloop;
    QCheckBox* chkoption;
    QPushButton* btnok;
    QPushButton* btncancel;

    void chkoptionClick();
    void btnokClick();
    void btncancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildComponents();
    void FormCreate(const std::string& languageFile);
    void FormShow();

    TcdSettings& m_settings;
    MessageBoxService* m_messageBoxes;
    QWidget* m_centreOn;
};

} // namespace kelvra
