#include "i18n/split_escaped.h"

namespace kelvra {

QStringList SplitEscaped(const QString& text, const QString& separator, QChar escape, const QString& quoteChars)
{
    QStringList pieces;
    QString piece;
    bool quoting = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == escape) {
            if (i + 1 < text.size())
                piece += text[i + 1];
            i += 2;
        } else if (quoteChars.contains(c)) {
            quoting = !quoting;
            ++i;
        } else if (quoting) {
            piece += c;
            ++i;
        } else if (!separator.isEmpty() && QStringView(text).sliced(i).startsWith(separator)) {
            pieces.append(piece);
            piece.clear();
            i += separator.size();
        } else {
            piece += c;
            ++i;
        }
    }
    pieces.append(piece);
    return pieces;
}

} // namespace kelvra
