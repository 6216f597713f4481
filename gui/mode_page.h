#pragma once

// The start page "tsMode": the choice between batch and hot-folder mode, the
// command-line notes, links, and the Help, Next and Exit buttons. Only layout;
// the main window connects the handlers. Owned by the page control.

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;

namespace kelvra {

class ActionList;
class LinkLabel;

class ModePage : public QWidget {
    Q_OBJECT
public:
    ModePage(const ActionList& actions, QWidget* parent);

    QRadioButton* rbtbatch;
    QRadioButton* rbrdohotdir;
    LinkLabel* lblcmdlink;
    LinkLabel* Label13;
    LinkLabel* Label14;
    QPushButton* btn1;
    QPushButton* btnNext;
    QPushButton* btnexit;
};

} // namespace kelvra
