#include "hotdir/system_log_clock.h"

#include <QDate>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kelvra {
namespace {

TEST(SystemLogClock, LongTimeWithoutTimeZoneAndTheDateAsYyMmDd)
{
    struct Case {
        const char* locale;
        const char* pattern;
    };
    const Case cases[] = {
        {"en_US", R"(^\d{1,2}:\d{2}:\d{2}\s(AM|PM)$)"},
        {"de_DE", R"(^\d{2}:\d{2}:\d{2}$)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const SystemLogClock clock{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_FALSE(clock.TimeFormat().contains(u't')) << clock.TimeFormat().toStdString();
        const QString time = QString::fromStdString(clock.LongTimeText());
        EXPECT_TRUE(QRegularExpression(QString::fromLatin1(c.pattern)).match(time).hasMatch()) << time.toStdString();
        EXPECT_EQ(clock.DateText(), QDate::currentDate().toString("yy-MM-dd").toStdString());
    }
}

} // namespace
} // namespace kelvra
