#pragma once

// TBaseSettings: a non-visual component that keeps every Q_PROPERTY of a
// derived class in the registry store, one value per property named like the
// property, below the key RegistryKey (under HKEY_CURRENT_USER). A derived
// class only declares properties:
//
//     class TcdSettings : public TBaseSettings {
//         Q_OBJECT
//         Q_PROPERTY(QString LogDir READ LogDir WRITE SetLogDir)
//         Q_PROPERTY(bool SubDir READ SubDir WRITE SetSubDir)
//         Q_PROPERTY(int MLoop READ MLoop WRITE SetMLoop)
//     public:
//         ~TcdSettings() override { BeforeDestruction(); }   // see below
//         ...
//     };
//
// Storage by kind (see property_table.h for how a C++ type maps to a kind):
//   Integer, Char, Enumeration (bool as 0/1) -> REG_DWORD
//   Float  -> REG_SZ, 15 significant digits, the locale's decimal separator
//   String -> REG_SZ;  Int64 -> REG_SZ signed decimal
//   Object that is a TStrings at the time -> REG_BINARY, lines each + CR LF;
//   a null pointer or another object is skipped
//   Set, WideChar, Other -> not stored
// Values of other names in the key are never read, written or deleted.
//
// Errors are thrown as std::runtime_error (RegistryError from the store) with
// exactly these messages: "Invalid data type for '<property>'", "Failed to set
// data for '<property>'", "'<text>' is not a valid integer value", "'<text>' is
// not a valid floating point value", "Cannot assign a <class> to a <class>".
// A load stops at the first value it cannot use: earlier properties keep what
// was loaded, that one and later ones keep their previous values.
//
// Save on destruction: when AutoLoad is set (and not designing) the object
// saves itself when it is destroyed, swallowing every error. C++ destroys the
// derived part first, so a class that adds properties must call
// BeforeDestruction() as the first statement of its destructor; otherwise only
// the base properties would be saved. Calling it more than once saves once.
//
// Ownership: the QObject parent (the "owner") owns the instance; the instance
// owns nothing but its ExcludedProperties list. Every operation runs on the
// thread that owns the instance; each load or save opens its own registry
// accessor and releases it at the end, also when an error leaves it.

#include "platform/registry_store.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace kelvra {

class TBaseSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(bool AutoLoad READ AutoLoad WRITE SetAutoLoad)
    Q_PROPERTY(QString RegistryKey READ RegistryKey WRITE SetRegistryKey)

public:
    /// AutoLoad becomes true, RegistryKey empty; nothing is read.
    explicit TBaseSettings(QObject* owner = nullptr);
    /// Saves when AutoLoad (unless BeforeDestruction already did), errors
    /// swallowed.
    ~TBaseSettings() override;

    /// Writes every stored property into RegistryKey, overwriting existing
    /// values, as one change of the store (all values or none). Does nothing
    /// when RegistryKey is empty.
    virtual void SaveSettings();
    /// Reads every stored property that has a value in RegistryKey. Does
    /// nothing when RegistryKey is empty.
    virtual void LoadSettings();

    /// Called after the properties were set from a stored description of the
    /// component (a form resource): loads when AutoLoad and not designing.
    virtual void Loaded();

    /// Copies every property but Name from `source` when it is an instance
    /// of this object's class or of a class derived from it; otherwise throws
    /// "Cannot assign a <source class> to a <this class>" ("nil" for null).
    virtual void Assign(const QObject* source);

    /// The automatic save of destruction; see the header comment.
    void BeforeDestruction();

    QString Name() const { return objectName(); }
    void SetName(const QString& name) { setObjectName(name); }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    bool AutoLoad() const { return m_autoLoad; }
    void SetAutoLoad(bool autoLoad) { m_autoLoad = autoLoad; }
    QString RegistryKey() const { return m_registryKey; }
    void SetRegistryKey(const QString& key) { m_registryKey = key; }

    /// Names never loaded or saved: "RegistryKey", "AutoLoad", "Name", "Tag".
    const QStringList& ExcludedProperties() const { return m_excludedProperties; }

    /// Set only while a form designer edits the component; never at run time.
    bool Designing() const { return m_designing; }
    void SetDesigning(bool designing) { m_designing = designing; }

    /// The store used by loads and saves; the current user's by default.
    void SetRegistryFactory(RegistryFactory factory) { m_registryFactory = std::move(factory); }

private:
    bool IsExcluded(const QString& name) const;
    std::unique_ptr<RegistryStore> OpenStore() const;

    int m_tag = 0;
    bool m_autoLoad = true;
    bool m_designing = false;
    bool m_destructionSaveDone = false;
    QString m_registryKey;
    QStringList m_excludedProperties;
    RegistryFactory m_registryFactory;
};

} // namespace kelvra
