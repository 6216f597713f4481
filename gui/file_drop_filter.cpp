#include "gui/file_drop_filter.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kelvra {

FileDropFilter::FileDropFilter(QWidget* window, DropHandler dropped)
    : QObject(window)
    , m_window(window)
    , m_dropped(std::move(dropped))
{
    setObjectName(QStringLiteral("fileDropFilter"));
    QCoreApplication::instance()->installEventFilter(this);
}

std::vector<std::string> FileDropFilter::LocalPaths(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != m_window)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    std::vector<std::string> paths = LocalPaths(drop->mimeData());
    if (paths.empty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop && m_dropped)
        m_dropped(paths);
    return true;
}

} // namespace kelvra
