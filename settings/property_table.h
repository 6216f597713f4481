#pragma once

// The property table of a settings object, read from Qt's meta-object system.
//
// The table of an object is its Q_PROPERTY list without QObject's own
// "objectName": for a TBaseSettings it starts Name, Tag, AutoLoad,
// RegistryKey, followed by the properties of each derived class in
// declaration order, base-most first. Names are compared without regard to
// letter case.
//
// The kind of a property follows from its declared C++ type:
//   int, unsigned, short, unsigned short        -> Integer
//   char, signed char, unsigned char            -> Char
//   a Q_ENUM type, bool                         -> Enumeration (bool: 0 / 1)
//   a Q_FLAG type                               -> Set
//   double, float                               -> Float
//   QString                                     -> String
//   QChar                                       -> WideChar
//   qint64 (long long)                          -> Int64
//   a pointer to a QObject class (TStrings* ..) -> Object
//   anything else                               -> Other
// Event handlers are Qt signals, not properties: they are neither stored nor
// copied.
// Functions of this file are free functions that run on the caller's thread.

#include <QMetaProperty>
#include <QObject>
#include <QString>

namespace kelvra {

enum class PropertyKind { Integer, Char, Enumeration, Set, Float, String, WideChar, Int64, Object, Other };

/// Number of entries in the property table of `object`'s class.
int PropertyCount(const QObject* object);

/// The meta property of table entry `index` (0-based, table order).
QMetaProperty PropertyAt(const QObject* object, int index);

/// Name of table entry `index` (0-based, table order).
QString PropertyName(const QObject* object, int index);

/// The entry of that name, letter case ignored (an entry spelt exactly so
/// comes first); an invalid QMetaProperty when the table has none.
QMetaProperty FindProperty(const QObject* object, const QString& name);

PropertyKind KindOf(const QMetaProperty& property);

/// Copies property values from `source` to `destination` by name: every entry
/// of the source's table except "Name" whose name the destination has with
/// the same kind. Integer, Char, Enumeration, Set, Float, String and Int64
/// values are copied; an Object property only when both objects are
/// TStrings (the destination takes over lines and attached objects); WideChar
/// and Other are skipped.
void AssignProperties(const QObject* source, QObject* destination);

} // namespace kelvra
