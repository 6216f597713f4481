#include "settings/base_settings.h"

#include "core/str_to_int.h"

#include "settings/property_table.h"
#include "settings/tstrings.h"

#include <QLocale>

#include <stdexcept>

namespace kelvra {

namespace {

// Floating-point values are kept as text in the user's locale, without group
// separators so that the text reads back unchanged.
QLocale FloatLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString ClassName(const QObject* object)
{
    if (!object)
        return QStringLiteral("nil");
    const QString name = QString::fromLatin1(object->metaObject()->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1); // without the namespace
}

[[noreturn]] void Fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

TStrings* StringsObject(const QMetaProperty& property, const QObject* object)
{
    return qobject_cast<TStrings*>(property.read(object).value<QObject*>());
}

void LoadProperty(const QMetaProperty& property, QObject* object, const RegistryStore& store)
{
    const std::string name = property.name();
    switch (KindOf(property)) {
    case PropertyKind::Integer:
    case PropertyKind::Char:
    case PropertyKind::Enumeration: {
        const std::int32_t value = store.ReadInteger(name);
        if (property.metaType().id() == QMetaType::Bool)
            property.write(object, value != 0);
        else if (property.metaType().id() == QMetaType::UInt)
            property.write(object, static_cast<unsigned>(value));
        else
            property.write(object, value);
        break;
    }
    case PropertyKind::Float: {
        const QString text = QString::fromStdString(store.ReadString(name));
        bool ok = false;
        const double value = FloatLocale().toDouble(text, &ok);
        if (!ok)
            Fail(QStringLiteral("'%1' is not a valid floating point value").arg(text));
        property.write(object, value);
        break;
    }
    case PropertyKind::String:
        property.write(object, QString::fromStdString(store.ReadString(name)));
        break;
    case PropertyKind::Int64: {
        const QString text = QString::fromStdString(store.ReadString(name));
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok, 10);
        if (!ok)
            throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
        property.write(object, value);
        break;
    }
    case PropertyKind::Object:
        if (TStrings* lines = StringsObject(property, object))
            lines->SetText(QByteArrayView(store.ReadBinaryData(name)));
        break;
    case PropertyKind::Set:
    case PropertyKind::WideChar:
    case PropertyKind::Other:
        break;
    }
}

void SaveProperty(const QMetaProperty& property, const QObject* object, RegistryStore& store)
{
    const std::string name = property.name();
    const QVariant value = property.read(object);
    switch (KindOf(property)) {
    case PropertyKind::Integer:
    case PropertyKind::Char:
    case PropertyKind::Enumeration:
        store.WriteInteger(name, static_cast<std::int32_t>(value.toLongLong()));
        break;
    case PropertyKind::Float:
        store.WriteString(name, FloatLocale().toString(value.toDouble(), 'g', 15).toStdString());
        break;
    case PropertyKind::String:
        store.WriteString(name, value.toString().toStdString());
        break;
    case PropertyKind::Int64:
        store.WriteString(name, std::to_string(value.toLongLong()));
        break;
    case PropertyKind::Object:
        if (const TStrings* lines = StringsObject(property, object)) {
            const QByteArray text = lines->Text();
            store.WriteBinaryData(name, std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        }
        break;
    case PropertyKind::Set:
    case PropertyKind::WideChar:
    case PropertyKind::Other:
        break;
    }
}

} // namespace

TBaseSettings::TBaseSettings(QObject* owner)
    : QObject(owner),
      m_excludedProperties { QStringLiteral("RegistryKey"), QStringLiteral("AutoLoad"), QStringLiteral("Name"),
          QStringLiteral("Tag") },
      m_registryFactory(CreateUserRegistry)
{
}

TBaseSettings::~TBaseSettings()
{
    BeforeDestruction();
}

void TBaseSettings::BeforeDestruction()
{
    if (m_destructionSaveDone)
        return;
    m_destructionSaveDone = true;
    try {
        if (!m_designing && m_autoLoad)
            SaveSettings();
    } catch (...) {
        // The save at the end of an object's life has no one to report to.
    }
}

bool TBaseSettings::IsExcluded(const QString& name) const
{
    return m_excludedProperties.contains(name, Qt::CaseInsensitive);
}

std::unique_ptr<RegistryStore> TBaseSettings::OpenStore() const
{
    std::unique_ptr<RegistryStore> store = m_registryFactory();
    // Whether the key could be opened is not checked here: a load then finds
    // no values, and a save fails at its first write with the store's error.
    store->OpenKey(m_registryKey.toStdString(), true);
    return store;
}

void TBaseSettings::LoadSettings()
{
    if (m_registryKey.isEmpty())
        return;
    const std::unique_ptr<RegistryStore> store = OpenStore();
    const int count = PropertyCount(this);
    for (int i = 0; i < count; ++i) {
        const QMetaProperty property = PropertyAt(this, i);
        if (IsExcluded(QString::fromLatin1(property.name())) || !store->ValueExists(property.name()))
            continue;
        LoadProperty(property, this, *store);
    }
}

void TBaseSettings::SaveSettings()
{
    if (m_registryKey.isEmpty())
        return;
    const std::unique_ptr<RegistryStore> store = OpenStore();
    // One change of the store: a crash or another process never sees half
    // a save.
    store->BeginWrites();
    const int count = PropertyCount(this);
    for (int i = 0; i < count; ++i) {
        const QMetaProperty property = PropertyAt(this, i);
        if (!IsExcluded(QString::fromLatin1(property.name())))
            SaveProperty(property, this, *store);
    }
    store->CommitWrites();
}

void TBaseSettings::Loaded()
{
    if (!m_designing && m_autoLoad)
        LoadSettings();
}

void TBaseSettings::Assign(const QObject* source)
{
    if (!source || !source->metaObject()->inherits(metaObject()))
        Fail(QStringLiteral("Cannot assign a %1 to a %2").arg(ClassName(source), ClassName(this)));
    AssignProperties(source, this);
}

} // namespace kelvra
