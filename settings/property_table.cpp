#include "settings/property_table.h"

#include "settings/tstrings.h"

#include <QMetaObject>

namespace kelvra {

namespace {

// QObject's own "objectName" is not part of the table; TBaseSettings
// publishes it as "Name".
int TableOffset()
{
    return QObject::staticMetaObject.propertyCount();
}

TStrings* StringsOf(const QMetaProperty& property, const QObject* object)
{
    return qobject_cast<TStrings*>(property.read(object).value<QObject*>());
}

} // namespace

int PropertyCount(const QObject* object)
{
    return object->metaObject()->propertyCount() - TableOffset();
}

QMetaProperty PropertyAt(const QObject* object, int index)
{
    return object->metaObject()->property(index + TableOffset());
}

QString PropertyName(const QObject* object, int index)
{
    return QString::fromLatin1(PropertyAt(object, index).name());
}

QMetaProperty FindProperty(const QObject* object, const QString& name)
{
    // Qt's names are case-sensitive, so a class may hold names that differ
    // only in letter case; the exact spelling wins over the others.
    const int count = PropertyCount(object);
    QMetaProperty sameLetters;
    for (int i = 0; i < count; ++i) {
        const QMetaProperty property = PropertyAt(object, i);
        if (name == QLatin1String(property.name()))
            return property;
        if (!sameLetters.isValid() && name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) == 0)
            sameLetters = property;
    }
    return sameLetters;
}

PropertyKind KindOf(const QMetaProperty& property)
{
    if (property.isEnumType())
        return property.isFlagType() ? PropertyKind::Set : PropertyKind::Enumeration;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
        return PropertyKind::Integer;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return PropertyKind::Char;
    case QMetaType::Bool:
        return PropertyKind::Enumeration;
    case QMetaType::Double:
    case QMetaType::Float:
        return PropertyKind::Float;
    case QMetaType::QString:
        return PropertyKind::String;
    case QMetaType::QChar:
        return PropertyKind::WideChar;
    case QMetaType::LongLong:
        return PropertyKind::Int64;
    default:
        break;
    }
    if (property.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return PropertyKind::Object;
    return PropertyKind::Other;
}

void AssignProperties(const QObject* source, QObject* destination)
{
    const int count = PropertyCount(source);
    for (int i = 0; i < count; ++i) {
        const QMetaProperty from = PropertyAt(source, i);
        const QString name = QString::fromLatin1(from.name());
        if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
            continue;
        const QMetaProperty to = FindProperty(destination, name);
        if (!to.isValid())
            continue;
        const PropertyKind kind = KindOf(from);
        if (kind != KindOf(to))
            continue;
        switch (kind) {
        case PropertyKind::Integer:
        case PropertyKind::Char:
        case PropertyKind::Enumeration:
        case PropertyKind::Set:
        case PropertyKind::Float:
        case PropertyKind::String:
        case PropertyKind::Int64:
            to.write(destination, from.read(source));
            break;
        case PropertyKind::Object: {
            const TStrings* lines = StringsOf(from, source);
            TStrings* target = StringsOf(to, destination);
            if (lines && target)
                target->Assign(*lines);
            break;
        }
        case PropertyKind::WideChar:
        case PropertyKind::Other:
            break;
        }
    }
}

} // namespace kelvra
