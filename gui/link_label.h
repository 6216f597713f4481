#pragma once

// A label that reads and behaves as a link: blue, underlined, a pointing hand,
// and a clicked() signal. Its caption stays plain text, so the language file
// can replace it like any other label's. Main thread only.

#include <QLabel>

namespace kelvra {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& objectName, const QString& caption, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace kelvra
