// The folder picker and the message boxes of the desktop, through Qt's
// dialogs (the same on every system Qt runs on).

#include "platform/desktop_services.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kelvra {
namespace {

class DesktopFolderPicker final : public FolderPicker {
public:
    explicit DesktopFolderPicker(std::function<QWidget*()> owner)
        : m_owner(std::move(owner))
    {
    }

    std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override
    {
        // Modal: every other window of the program is disabled while it is open.
        const QString chosen = QFileDialog::getExistingDirectory(
            m_owner ? m_owner() : nullptr, QString::fromStdString(title), QString::fromStdString(startFolder),
            QFileDialog::ShowDirsOnly);
        if (chosen.isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(chosen).toStdString();
    }

private:
    std::function<QWidget*()> m_owner;
};

class DesktopMessageBoxes final : public MessageBoxService {
public:
    explicit DesktopMessageBoxes(std::function<QWidget*()> owner)
        : m_owner(std::move(owner))
    {
    }

    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override
    {
        QMessageBox box(m_owner ? m_owner() : nullptr);
        box.setWindowTitle(QString::fromStdString(caption));
        box.setText(QString::fromStdString(text));
        switch (flags & 0xF0) {
        case kMbIconError:
            box.setIcon(QMessageBox::Critical);
            break;
        case kMbIconWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case kMbIconInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        const bool offersCancel = (flags & 0xF) == kMbOkCancel;
        box.setStandardButtons(offersCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(offersCancel ? QMessageBox::Cancel : QMessageBox::Ok);
        if (flags & kMbTopMost)
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        return box.exec() == QMessageBox::Ok ? kIdOk : kIdCancel;
    }

private:
    std::function<QWidget*()> m_owner;
};

} // namespace

std::unique_ptr<FolderPicker> CreateDesktopFolderPicker(std::function<QWidget*()> owner)
{
    return std::make_unique<DesktopFolderPicker>(std::move(owner));
}

std::unique_ptr<MessageBoxService> CreateDesktopMessageBoxes(std::function<QWidget*()> owner)
{
    return std::make_unique<DesktopMessageBoxes>(std::move(owner));
}

} // namespace kelvra
