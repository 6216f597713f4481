#include "gui/action_list.h"

#include <QAbstractButton>

namespace kelvra {

ActionList::ActionList(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("actlst1"));
    actNext = Make("actNext", QStringLiteral("Next>"));
    actHotDir = Make("actHotDir", QStringLiteral("Hot Directories &Mode"));
    actReturnBatchMode = Make("actReturnBatchMode", QStringLiteral("Ret&urn To Batch Mode"));
    actOption = Make("actOption", QStringLiteral("Option"));
    actConvert = Make("actConvert", QStringLiteral("Convert"));
    actAdd = Make("actAdd", QStringLiteral("Add"));
    actAddFolder = Make("actAddFolder", QStringLiteral("Add Folder"));
    actRemove = Make("actRemove", QStringLiteral("Remove"));
    actClear = Make("actClear", QStringLiteral("Clear"));
    actRemveFaile = Make("actRemveFaile", QStringLiteral("R&emove Failed Items"));
    actRemoveSuccess = Make("actRemoveSuccess", QStringLiteral("Re&move Succeeded Items"));
    actOpenFolder = Make("actOpenFolder", QStringLiteral("Open Folder"));
    actImport = Make("actImport", QStringLiteral("I&mport List"));
    actExport = Make("actExport", QStringLiteral("&Export List"));
    actSelectIndir = Make("actSelectIndir", QStringLiteral("Bro&wse.."));
    actSelectOutdir = Make("actSelectOutdir", QStringLiteral("Brows&e.."));
    actSelectLogpath = Make("actSelectLogpath", QStringLiteral("Browse&.."));
    actOpenIndir = Make("actOpenIndir", QStringLiteral("O&pen Dir"));
    actOpenOutdir = Make("actOpenOutdir", QStringLiteral("Ope&n Dir"));
    actOpenLogDir = Make("actOpenLogDir", QStringLiteral("Open Lo&gDir"));
}

QAction* ActionList::Make(const char* name, const QString& caption)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void BindButtonToAction(QAbstractButton* button, QAction* action)
{
    const auto sync = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        if (!action->icon().isNull())
            button->setIcon(action->icon());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
}

} // namespace kelvra
