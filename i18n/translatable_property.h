#pragma once

// The names under which a language file reaches the properties of plain Qt
// objects, and the kind by which a value is applied. One adapter for all
// windows, so that the window code only sets objectName.
//
// Names (letter case ignored)      Qt object                      Kind
// Caption   windowTitle of a window (also QDockWidget), tab text of a tab
//           page, text of QLabel / QAbstractButton / QAction, title of
//           QGroupBox / QMenu                                      String
// Hint      toolTip of a QWidget or QAction                        String
// Text      QLineEdit, QComboBox (edit text or current text),
//           QPlainTextEdit / QTextEdit (plain text)                String
// Lines     QPlainTextEdit / QTextEdit                             Strings
// Items     QComboBox, QListWidget                                 Strings
// Items     QTreeWidget with root decoration (a tree)              TreeNodes
// Columns   header captions of QTreeView / QTableView (list views) Columns
// MaxValue, MinValue, Value   QSpinBox                             Integer
// Max, Min, Position          QProgressBar, QAbstractSlider        Integer
// Left, Top, Width, Height    any QWidget (geometry)               Integer
// Tag       any object, kept as its dynamic property "Tag"         Integer
// Otherwise a Qt property or dynamic property of that name (letter case
// ignored): int -> Integer, QString -> String, QStringList -> Strings; other
// types are not translated.
//
// Main thread only.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kelvra {

enum class TranslatedKind { Integer, String, Strings, Columns, TreeNodes };

/// How one property of one object is written. Only the members of its kind
/// are set: setInteger (Integer), setText (String), setLines (Strings),
/// count and setItem (Columns, TreeNodes).
struct TranslatableProperty {
    TranslatedKind kind = TranslatedKind::String;
    std::function<void(int)> setInteger;
    std::function<void(const QString&)> setText;
    std::function<void(const QStringList&)> setLines;
    std::function<int()> count;
    std::function<void(int, const QString&)> setItem;
};

/// The property `name` of `object`, or nullopt when it has none that can be
/// translated.
std::optional<TranslatableProperty> FindTranslatableProperty(QObject* object, const QString& name);

} // namespace kelvra
