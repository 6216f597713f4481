#pragma once

// SplitEscaped: splits a text at a separator text, honouring an escape
// character (the next character is taken literally, also inside quotes; an
// escape at the very end adds nothing) and quote characters (they switch
// quoting on and off and are dropped; inside quotes the separator does not
// split). n separators give n + 1 pieces, empty pieces included; an empty
// text gives one empty piece. The separator is compared exactly.
// Used for the keys and list values of language files. Pure function.

#include <QChar>
#include <QString>
#include <QStringList>

namespace kelvra {

QStringList SplitEscaped(const QString& text, const QString& separator, QChar escape, const QString& quoteChars);

} // namespace kelvra
