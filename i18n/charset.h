#pragma once

// Character sets of fonts. Qt chooses glyphs by Unicode and has no character
// set on QFont, so the number that a language file gives is kept beside the
// font, as the dynamic property "FontCharset" of the component whose font it
// is (QWidget, QAction: objects with a "font" property). The window code does
// not need it for drawing; it is there for code that wants to know it.
// Main thread only (it touches widgets).

#include <QObject>
#include <QString>

namespace kelvra {

inline constexpr int DEFAULT_CHARSET = 1;

/// The number of a character set name ("russian", "Russian_Charset" and
/// "RUSSIAN_CHARSET" all give 204); DEFAULT_CHARSET for an unknown or empty
/// name and for numbers.
int CharsetFromName(const QString& name);

/// The character set kept for the component's font; DEFAULT_CHARSET when
/// none was set.
int FontCharset(const QObject* component);
void SetFontCharset(QObject* component, int charset);

/// Gives every object below `component` (all QObject descendants, in child
/// order, depth first) that has a font the character set `charset`.
void PropagateFontCharset(QObject* component, int charset);

} // namespace kelvra
