#pragma once

// TStrings: a list of text lines, each with an optional attached object (any
// QVariant), held as a QObject so that a settings class can publish it as an
// object property:
//
//     Q_PROPERTY(kelvra::TStrings* RecentFiles READ RecentFiles)
//
// TBaseSettings stores such a property as REG_BINARY holding the lines, each
// followed by CR LF; a null pointer is neither saved nor loaded. The settings
// object that publishes the list owns it (usually as its QObject child).
// Used on the thread that owns it.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kelvra {

class TStrings : public QObject {
    Q_OBJECT

public:
    explicit TStrings(QObject* parent = nullptr);

    int Count() const { return static_cast<int>(m_lines.size()); }
    QStringList Lines() const { return m_lines; }
    /// Replaces every line; the attached objects are dropped.
    void SetLines(const QStringList& lines);
    void Add(const QString& line, const QVariant& object = {});
    void Clear();
    /// The object attached to line `index`; a null QVariant when none.
    QVariant Object(int index) const { return m_objects.value(index); }

    /// Takes over the lines of `source` with the objects attached to them.
    void Assign(const TStrings& source);

    /// Every line followed by CR LF, as UTF-8; no length prefix, no zero.
    QByteArray Text() const;
    /// Replaces the lines by those of `bytes`: a line ends at CR LF, CR or LF,
    /// a zero byte ends the text, a last line without a break counts.
    void SetText(QByteArrayView bytes);

private:
    QStringList m_lines;
    QList<QVariant> m_objects; // parallel to m_lines
};

} // namespace kelvra
