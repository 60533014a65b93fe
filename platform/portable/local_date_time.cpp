#include "platform/portable/local_date_time.h"

namespace kdesk {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsValidLocalDateTime(const LocalDateTime& when) {
    if (when.year < 1601 || when.year > 30827 || when.month < 1 || when.month > 12) return false;
    if (when.day < 1 || when.day > DaysInMonth(when.year, when.month)) return false;
    return when.hour >= 0 && when.hour <= 23 && when.minute >= 0 && when.minute <= 59 && when.second >= 0 &&
           when.second <= 59;
}

bool IsMidnight(const LocalDateTime& when) { return when.hour == 0 && when.minute == 0 && when.second == 0; }

}  // namespace kdesk
