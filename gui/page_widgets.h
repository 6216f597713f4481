#pragma once

// Small builders shared by the pages of the main window, so that every page
// names, sizes and styles its parts the same way. Main thread only.

#include <QString>

class QLabel;
class QPixmap;
class QPushButton;
class QWidget;

namespace kelvra {

/// A label named `name`; `grey` gives the muted colour of description lines.
QLabel* MakeLabel(const char* name, const QString& caption, QWidget* parent, bool grey = false);

/// A label showing a picture, named `name`.
QLabel* MakePicture(const char* name, const QPixmap& picture, QWidget* parent);

/// A push button named `name`, at least `minWidth` pixels wide.
QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent, int minWidth = 88);

/// Gives `widget` a white background (the pages' panels).
void PaintWhite(QWidget* widget);

} // namespace kelvra
