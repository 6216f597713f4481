#include "hotdir/system_log_clock.h"

#include <QDate>
#include <QTime>

namespace kelvra {

namespace {

// Drops the "t" fields (time zone) of a Qt time format, outside quoted text,
// with the blank that separates them.
QString WithoutTimeZone(const QString& format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.simplified();
}

} // namespace

SystemLogClock::SystemLogClock(QLocale locale)
    : m_locale(std::move(locale)), m_timeFormat(WithoutTimeZone(m_locale.timeFormat(QLocale::LongFormat)))
{
}

std::string SystemLogClock::LongTimeText() const
{
    return m_locale.toString(QTime::currentTime(), m_timeFormat).toStdString();
}

std::string SystemLogClock::DateText() const
{
    return QDate::currentDate().toString(QStringLiteral("yy-MM-dd")).toStdString();
}

} // namespace kelvra
