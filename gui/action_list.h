#pragma once

// The action list of the main window ("actlst1"): every command that a button,
// a menu entry and the language file share. A button bound to an action takes
// its caption and enabled state from it, as the language file may change
// the action's caption. Owned by the main window; main thread only.

#include <QAction>
#include <QObject>

class QAbstractButton;

namespace kelvra {

class ActionList : public QObject {
    Q_OBJECT
public:
    explicit ActionList(QObject* parent);

    // Start page and modes.
    QAction* actNext;
    QAction* actHotDir;
    QAction* actReturnBatchMode;
    QAction* actOption;
    // File list and batch run.
    QAction* actConvert;
    QAction* actAdd;
    QAction* actAddFolder;
    QAction* actRemove;
    QAction* actClear;
    QAction* actRemveFaile;
    QAction* actRemoveSuccess;
    QAction* actOpenFolder;
    QAction* actImport;
    QAction* actExport;
    // Hot-folder page.
    QAction* actSelectIndir;
    QAction* actSelectOutdir;
    QAction* actSelectLogpath;
    QAction* actOpenIndir;
    QAction* actOpenOutdir;
    QAction* actOpenLogDir;

private:
    QAction* Make(const char* name, const QString& caption);
};

/// Makes `button` show `action`: its caption and enabled state follow the
/// action from now on, and a click triggers the action.
void BindButtonToAction(QAbstractButton* button, QAction* action);

} // namespace kelvra
