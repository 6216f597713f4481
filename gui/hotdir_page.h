#pragma once

// The hot-folder page "tsHotDirectory": the settings group with the input,
// output and log folders, the sub-folder check box, the explanatory strip,
// the large Start, Stop and Minimise buttons and Return To Batch Mode. This
// class lays the page out and names every part; the hot-folder logic is
// connected by the main window. Owned by the page control; main thread only.

#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace kelvra {

class ActionList;

class HotDirPage : public QWidget {
    Q_OBJECT
public:
    HotDirPage(const ActionList& actions, QWidget* parent);

    QFrame* pnlhotdir;
    QLabel* imghotdir;
    QGroupBox* grp1;
    QLabel* imglogo;
    QLabel* lbl2;
    QLineEdit* edtindir;
    QPushButton* btnselectindir;
    QPushButton* btnopeninputdir;
    QCheckBox* chksubdir;
    QLabel* lbl4;
    QLineEdit* edtoutdir;
    QPushButton* btnselectoutdir;
    QPushButton* btnopenoutputdir;
    QLabel* lbl3;
    QLineEdit* edtlog;
    QPushButton* btnselectlogfile;
    QPushButton* btnviewlog;
    QFrame* pnl1;
    QLabel* lbl6;
    QToolButton* btnsbtrun;
    QToolButton* btnsbtend;
    QToolButton* btnmin;
    QPushButton* btnsbtreturn;
};

} // namespace kelvra
