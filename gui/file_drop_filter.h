#pragma once

// Files dropped from the desktop onto the main window. The window takes drops
// of local files anywhere on itself, whichever page is shown and also during a
// batch run: this filter sits on the application and takes every drag of
// local file URLs that is aimed at one of the window's widgets (so that, say,
// an edit box does not swallow the names as text), and hands the dropped
// paths, in the order given, to `dropped`. Drags of anything else pass on
// untouched. Owned by the window; main thread only.

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace kelvra {

class FileDropFilter : public QObject {
    Q_OBJECT
public:
    using DropHandler = std::function<void(const std::vector<std::string>& paths)>;

    /// Installs itself on the application; `window` is also its parent.
    FileDropFilter(QWidget* window, DropHandler dropped);

    /// The local file paths a drag carries, in order; URLs of anything but
    /// local files are left out.
    static std::vector<std::string> LocalPaths(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    DropHandler m_dropped;
};

} // namespace kelvra
