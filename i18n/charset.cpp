#include "i18n/charset.h"

#include <QVariant>

#include <array>
#include <utility>

namespace kelvra {

namespace {

constexpr const char* kCharsetProperty = "FontCharset";

constexpr std::array<std::pair<const char*, int>, 19> kCharsets { {
    { "ANSI_CHARSET", 0 },
    { "DEFAULT_CHARSET", 1 },
    { "SYMBOL_CHARSET", 2 },
    { "MAC_CHARSET", 77 },
    { "SHIFTJIS_CHARSET", 128 },
    { "HANGEUL_CHARSET", 129 },
    { "JOHAB_CHARSET", 130 },
    { "GB2312_CHARSET", 134 },
    { "CHINESEBIG5_CHARSET", 136 },
    { "GREEK_CHARSET", 161 },
    { "TURKISH_CHARSET", 162 },
    { "VIETNAMESE_CHARSET", 163 },
    { "HEBREW_CHARSET", 177 },
    { "ARABIC_CHARSET", 178 },
    { "BALTIC_CHARSET", 186 },
    { "RUSSIAN_CHARSET", 204 },
    { "THAI_CHARSET", 222 },
    { "EASTEUROPE_CHARSET", 238 },
    { "OEM_CHARSET", 255 },
} };

bool HasFont(const QObject* object)
{
    return object->metaObject()->indexOfProperty("font") >= 0;
}

} // namespace

int CharsetFromName(const QString& name)
{
    QString key = name.toUpper();
    if (!key.contains(QLatin1String("_CHARSET")))
        key += QLatin1String("_CHARSET");
    for (const auto& [charsetName, value] : kCharsets) {
        if (key == QLatin1String(charsetName))
            return value;
    }
    return DEFAULT_CHARSET;
}

int FontCharset(const QObject* component)
{
    const QVariant value = component->property(kCharsetProperty);
    return value.isValid() ? value.toInt() : DEFAULT_CHARSET;
}

void SetFontCharset(QObject* component, int charset)
{
    component->setProperty(kCharsetProperty, charset);
}

void PropagateFontCharset(QObject* component, int charset)
{
    for (QObject* child : component->children()) {
        if (HasFont(child))
            SetFontCharset(child, charset);
        PropagateFontCharset(child, charset);
    }
}

} // namespace kelvra
