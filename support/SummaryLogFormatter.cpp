#include "support/SummaryLogFormatter.h"

#include "support/LogRecord.h"

#include <boost/date_time/c_local_time_adjustor.hpp>
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/format.hpp>

namespace Vellmar::Diagnostics {

namespace {

// Parsed once; each line formats a copy.
const boost::wformat& Pattern(bool named) {
    static const boost::wformat anonymous(L"[%7% %5% %6$02d %8$02d:%9$02d:%10$02d %4$04d] %2%%3%");
    static const boost::wformat withName(
        L"[%7% %5% %6$02d %8$02d:%9$02d:%10$02d %4$04d] (%1%) %2%%3%");
    return named ? withName : anonymous;
}

const wchar_t* Prefix(int level) {
    switch (level) {
    case 1:
        return L"ERROR: ";
    case 2:
        return L"WARNING: ";
    default:
        return L"";
    }
}

} // namespace

std::wstring SummaryLogFormatter::format(const LogRecord& record) const {
    using Adjustor = boost::date_time::c_local_adjustor<boost::posix_time::ptime>;
    const boost::posix_time::ptime local = Adjustor::utc_to_local(record.time);
    const boost::gregorian::date date = local.date();
    const boost::posix_time::time_duration clock = local.time_of_day();

    boost::wformat line(Pattern(!record.loggerName.empty()));
    line % record.loggerName % Prefix(record.level) % record.message %
        static_cast<int>(date.year()) % date.month().as_short_wstring() %
        static_cast<int>(date.day()) % date.day_of_week().as_short_wstring() %
        static_cast<int>(clock.hours()) % static_cast<int>(clock.minutes()) %
        static_cast<int>(clock.seconds());
    return line.str();
}

} // namespace Vellmar::Diagnostics
