#include "gui/page_widgets.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kelvra {

QLabel* MakeLabel(const char* name, const QString& caption, QWidget* parent, bool grey)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (grey) {
        QPalette muted = label->palette();
        muted.setColor(QPalette::WindowText, QColor(0x6b, 0x74, 0x7e));
        muted.setColor(QPalette::Text, QColor(0x6b, 0x74, 0x7e));
        label->setPalette(muted);
    }
    return label;
}

QLabel* MakePicture(const char* name, const QPixmap& picture, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(picture);
    label->setFixedSize(picture.size());
    return label;
}

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent, int minWidth)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(minWidth);
    button->setMinimumHeight(26);
    return button;
}

void PaintWhite(QWidget* widget)
{
    QPalette white = widget->palette();
    white.setColor(QPalette::Window, Qt::white);
    widget->setPalette(white);
    widget->setAutoFillBackground(true);
}

} // namespace kelvra
