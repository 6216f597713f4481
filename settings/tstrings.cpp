#include "settings/tstrings.h"

namespace kelvra {

TStrings::TStrings(QObject* parent) : QObject(parent) { }

void TStrings::SetLines(const QStringList& lines)
{
    m_lines = lines;
    m_objects = QList<QVariant>(lines.size());
}

void TStrings::Add(const QString& line, const QVariant& object)
{
    m_lines.append(line);
    m_objects.append(object);
}

void TStrings::Clear()
{
    m_lines.clear();
    m_objects.clear();
}

void TStrings::Assign(const TStrings& source)
{
    m_lines = source.m_lines;
    m_objects = source.m_objects;
}

QByteArray TStrings::Text() const
{
    QByteArray text;
    for (const QString& line : m_lines) {
        text += line.toUtf8();
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes = bytes.first(zero);
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(QString::fromUtf8(bytes.sliced(start, i - start)));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size())
        lines.append(QString::fromUtf8(bytes.sliced(start)));
    SetLines(lines);
}

} // namespace kelvra
