#pragma once

// Translation of a window from a language file.
//
// How to use (window code)
// ------------------------
// 1. Give the window the component name of its language-file section as
//    objectName ("frmQuorran", "frmoption"), and every widget, action and
//    menu that a language file may name its component name as objectName
//    ("btnok", "cbblevel", "lvFiles", "actConvert", "tsMode", ...). Nothing
//    else is needed: plain Qt classes are understood (translatable_property.h).
//    The objects must be descendants of the window (QObject children at any
//    depth): widgets inside layouts and group boxes, actions and menus
//    created with the window (or one of its children) as parent.
// 2. At the start of the window's set-up (its FormCreate):
//        try {
//            TranslateForm(this, LanguageFile);
//        } catch (const std::exception& error) {
//            // the standard error box with error.what(); the window is
//            // shown anyway, with what was applied before the error
//        }
//    The main window sets its own caption after this.
// 3. A list view is a QTreeWidget with setRootIsDecorated(false) (or a
//    QTreeView/QTableView): its "Columns" are the header captions. A
//    QTreeWidget with root decoration is a tree view: its "Items" are the node
//    texts (column 0) by absolute index, each node followed by its
//    descendants. A tab page's "Caption" is its tab text.
//
// Keys in the window's section are "component.property" (see SplitEscaped
// for "\" and double quotes); an empty component name or the window's own
// name means the window. Keys that name no object or no property, keys of
// another shape and values of kinds that are not translated are ignored.
// A value that cannot be applied throws std::runtime_error and ends the
// translation there (later keys and the character set propagation are not
// applied): "'<value>' is not a valid integer value", "List index out of
// bounds (<index>)" for a surplus column, "Invalid index" for a surplus tree
// node.
//
// [Font]: "Size" (points, applied when > 0), "Name" (applied when a font of
// that family is installed, letter case ignored), "CharSet" (CharsetFromName,
// kept on the window and then on every descendant), "BiDiMode" (0 left to
// right; 1, 2, 3 right to left: set on the application and the window, the
// number kept as the window's dynamic property "BiDiMode"; other numbers do
// nothing; missing means 0).
//
// Main thread only.

#include <QObject>
#include <QString>
#include <QWidget>

#include <string>

namespace kelvra {

/// Applies [Font] and the section named like window->objectName() of `file`
/// to the window and its descendants. Returns true; throws as described.
bool TranslateForm(QWidget* window, const std::string& file);

/// Applies one value to the property `propertyName` (letter case ignored) of
/// `component`, by the kind of that property: Integer (StrToInt, which throws
/// ConvertError "'<value>' is not a valid integer value"), String ("||" becomes a line break), Strings (SplitEscaped
/// at "||" with escape "\" and quote '"'; the pieces replace the lines),
/// Columns / TreeNodes (piece i renames column / node i). A component
/// without such a property is left alone.
void SetTranslatedProperty(QObject* component, const QString& propertyName, const QString& value);

} // namespace kelvra
