#pragma once
// Dates as seconds since 1970 (sub-second precision kept), and the one date format the screens use.

#include <string>

namespace platform {

struct Date {
    double timeIntervalSince1970 = 0;
    static Date date();   // now, from the run loop's wall clock
    static Date dateWithTimeIntervalSince1970(double s) { return {s}; }
    double timeIntervalSinceDate(const Date& other) const {
        return timeIntervalSince1970 - other.timeIntervalSince1970;
    }
    double timeIntervalSinceReferenceDate() const { return timeIntervalSince1970 - 978307200.0; }
    friend bool operator==(const Date&, const Date&) = default;
};

// Formats with a pattern of dd, MM, yyyy, HH, mm, ss and literal characters, in the local time zone.
class DateFormatter {
public:
    void setDateFormat(std::string format) { format_ = std::move(format); }
    const std::string& dateFormat() const { return format_; }
    std::string stringFromDate(const Date& date) const;

private:
    std::string format_;
};

}   // namespace platform
