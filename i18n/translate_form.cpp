#include "i18n/translate_form.h"

#include "core/str_to_int.h"
#include "i18n/charset.h"
#include "i18n/ini_file.h"
#include "i18n/language.h"
#include "i18n/split_escaped.h"
#include "i18n/translatable_property.h"

#include <QApplication>
#include <QFontDatabase>

#include <functional>
#include <stdexcept>

namespace kelvra {

namespace {

[[noreturn]] void Fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

QString TrimControls(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

// The installed family of that name, letter case ignored; empty when none.
QString InstalledFamily(const QString& face)
{
    if (face.isEmpty())
        return {};
    for (const QString& family : QFontDatabase::families()) {
        if (family.compare(face, Qt::CaseInsensitive) == 0)
            return family;
    }
    return {};
}

void ApplyFont(QWidget* window, const IniFile& ini)
{
    const int size = ini.ReadInteger("Font", "Size", -1);
    const QString face = DecodeLanguageText(ini.ReadString("Font", "Name", {}));
    const int charset = CharsetFromName(DecodeLanguageText(ini.ReadString("Font", "CharSet", {})));
    const int direction = ini.ReadInteger("Font", "BiDiMode", 0);

    if (direction >= 0 && direction <= 3) {
        const Qt::LayoutDirection layout = direction == 0 ? Qt::LeftToRight : Qt::RightToLeft;
        QApplication::setLayoutDirection(layout);
        window->setLayoutDirection(layout);
        window->setProperty("BiDiMode", direction);
    }
    QFont font = window->font();
    if (size > 0)
        font.setPointSize(size);
    if (const QString family = InstalledFamily(face); !family.isEmpty())
        font.setFamily(family);
    window->setFont(font);
    SetFontCharset(window, charset);
}

// The window itself for an empty name or the window's own name, else the
// first descendant of that name (letter case ignored).
QObject* FindTarget(QWidget* window, const QString& componentName)
{
    if (componentName.isEmpty() || componentName.compare(window->objectName(), Qt::CaseInsensitive) == 0)
        return window;
    const QList<QObject*> descendants = window->findChildren<QObject*>();
    for (QObject* object : descendants) {
        if (object->objectName().compare(componentName, Qt::CaseInsensitive) == 0)
            return object;
    }
    return nullptr;
}

void ApplyIndexed(const TranslatableProperty& property, const QStringList& pieces,
    const std::function<QString(int)>& surplusMessage)
{
    const int count = property.count();
    for (int i = 0; i < pieces.size(); ++i) {
        if (i >= count)
            Fail(surplusMessage(i));
        property.setItem(i, pieces[i]);
    }
}

} // namespace

void SetTranslatedProperty(QObject* component, const QString& propertyName, const QString& value)
{
    const std::optional<TranslatableProperty> property = FindTranslatableProperty(component, propertyName);
    if (!property)
        return;
    const auto pieces = [&value] {
        return SplitEscaped(value, QStringLiteral("||"), QLatin1Char('\\'), QStringLiteral("\""));
    };
    switch (property->kind) {
    case TranslatedKind::Integer: {
        property->setInteger(StrToInt(value.toStdString()));
        break;
    }
    case TranslatedKind::String:
        property->setText(ExpandLineBreaks(value));
        break;
    case TranslatedKind::Strings:
        property->setLines(pieces());
        break;
    case TranslatedKind::Columns:
        ApplyIndexed(*property, pieces(), [](int index) { return QStringLiteral("List index out of bounds (%1)").arg(index); });
        break;
    case TranslatedKind::TreeNodes:
        ApplyIndexed(*property, pieces(), [](int) { return QStringLiteral("Invalid index"); });
        break;
    }
}

bool TranslateForm(QWidget* window, const std::string& file)
{
    const IniFile ini(file);
    ApplyFont(window, ini);
    const std::vector<std::string> lines = ini.ReadSectionValues(window->objectName().toStdString());
    for (const std::string& line : lines) {
        const QString text = DecodeLanguageText(line);
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = TrimControls(text.left(equals));
        const QString value = text.mid(equals + 1);
        const QStringList parts = SplitEscaped(key, QStringLiteral("."), QLatin1Char('\\'), QStringLiteral("\""));
        if (parts.size() != 2 || parts[1].isEmpty())
            continue;
        if (QObject* target = FindTarget(window, parts[0]))
            SetTranslatedProperty(target, parts[1], value);
    }
    PropagateFontCharset(window, FontCharset(window));
    return true;
}

} // namespace kelvra
