// The open and save dialogs of the desktop, through Qt's file dialog (the
// same on every system Qt runs on).

#include "gui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kelvra {
namespace {

// "PDF File(*.pdf)|*.pdf|..." in Qt's form "PDF File(*.pdf) (*.pdf);;...".
// Qt shows the description and filters by the patterns in parentheses.
QStringList QtNameFilters(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters.append(parts[i] + QStringLiteral(" (") + patterns + u')');
    }
    return filters;
}

class DesktopFileDialogs final : public FileDialogs {
public:
    explicit DesktopFileDialogs(std::function<QWidget*()> owner)
        : m_owner(std::move(owner))
    {
    }

    std::vector<std::string> GetOpenFileNames(const FileDialogRequest& request) override
    {
        QFileDialog dialog(m_owner ? m_owner() : nullptr);
        Prepare(dialog, request);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed-in name that does not exist is returned all the same.
        dialog.setFileMode(request.allowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
        std::vector<std::string> chosen;
        if (dialog.exec() != QDialog::Accepted)
            return chosen;
        for (const QString& file : dialog.selectedFiles())
            chosen.push_back(QDir::toNativeSeparators(file).toStdString());
        return chosen;
    }

    std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) override
    {
        QFileDialog dialog(m_owner ? m_owner() : nullptr);
        Prepare(dialog, request);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.overwritePrompt)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
    }

private:
    static void Prepare(QFileDialog& dialog, const FileDialogRequest& request)
    {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setSizeGripEnabled(true);
        dialog.setOption(QFileDialog::ReadOnly, false);
        const QStringList filters = QtNameFilters(request.filter);
        dialog.setNameFilters(filters);
        const qsizetype active = request.filterIndex - 1;
        if (active >= 0 && active < filters.size())
            dialog.selectNameFilter(filters[active]);
        std::string extension = request.defaultExtension;
        if (!extension.empty() && extension.front() == '.')
            extension.erase(0, 1);
        dialog.setDefaultSuffix(QString::fromStdString(extension));
    }

    std::function<QWidget*()> m_owner;
};

} // namespace

std::unique_ptr<FileDialogs> CreateDesktopFileDialogs(std::function<QWidget*()> owner)
{
    return std::make_unique<DesktopFileDialogs>(std::move(owner));
}

} // namespace kelvra
