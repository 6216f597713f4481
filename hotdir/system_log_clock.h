#pragma once

// The log clock of the running program: the local time in the system
// locale's long time format (without a time zone, which the format of the
// system's clock does not show) and the local date.

#include "hotdir/hotdir_services.h"

#include <QLocale>

namespace kelvra {

class SystemLogClock final : public LogClock {
public:
    explicit SystemLogClock(QLocale locale = QLocale::system());
    std::string LongTimeText() const override;
    std::string DateText() const override;

    /// The locale's long time format with its time-zone fields removed.
    QString TimeFormat() const { return m_timeFormat; }

private:
    QLocale m_locale;
    QString m_timeFormat;
};

} // namespace kelvra
