#include "gui/link_label.h"

#include <QMouseEvent>

namespace kelvra {

LinkLabel::LinkLabel(const QString& objectName, const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette linkPalette = palette();
    // Both roles: inside an item view's viewport a label draws with Text.
    linkPalette.setColor(QPalette::WindowText, QColor(0x1a, 0x5f, 0xb4));
    linkPalette.setColor(QPalette::Text, QColor(0x1a, 0x5f, 0xb4));
    setPalette(linkPalette);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace kelvra
