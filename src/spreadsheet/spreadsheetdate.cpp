#include "spreadsheet/spreadsheetdate.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace calvero {

namespace {

// The serial day after 31 December 9999, the last day a sheet can show.
constexpr double LastSerialDay = 2958466.0;

enum DateParts : unsigned { NoDate = 0, DatePart = 1, TimePart = 2 };

unsigned builtinDateParts(int id)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) return DatePart;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return TimePart;
    if (id == 22) return DatePart | TimePart;
    return NoDate;
}

// The date letters of a format code's first section; quoted texts, escaped
// characters, fill and padding characters and bracketed parts (colours,
// currencies, conditions) are no date letters, [h] [mm] [ss] are time.
unsigned codeDateParts(std::string_view code)
{
    bool date = false;
    bool time = false;
    bool month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
        if (c == ';') break;
        if (c == '"') {
            i = code.find('"', i + 1);
            if (i == std::string_view::npos) break;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t end = code.find(']', i);
            if (end == std::string_view::npos) break;
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) time = true;
            i = end;
        } else if (c == 'd' || c == 'y') {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    if (month && !time) date = true;
    return (date ? DatePart : NoDate) | (time ? TimePart : NoDate);
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

} // namespace

std::optional<std::string> serialDateText(double serial, int formatId, const std::string& formatCode, bool from1904)
{
    const unsigned parts = formatCode.empty() ? builtinDateParts(formatId) : codeDateParts(formatCode);
    if (parts == NoDate || !std::isfinite(serial) || serial < 0.0 || serial >= LastSerialDay) return std::nullopt;
    const long long seconds = std::llround(serial * 86400.0);
    const long long serialDays = seconds / 86400;
    const long long timeOfDay = seconds % 86400;
    // The 1900 system counts a 29 February 1900 that never was: from day 60 on, days run from 30 December 1899.
    const long long epoch = from1904 ? daysFromCivil(1904, 1, 1) : daysFromCivil(1899, 12, serialDays < 60 ? 31 : 30);
    long long year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(epoch + serialDays, year, month, day);
    char text[64];
    const int hours = static_cast<int>(timeOfDay / 3600);
    const int minutes = static_cast<int>(timeOfDay / 60 % 60);
    const int secs = static_cast<int>(timeOfDay % 60);
    if (parts == TimePart)
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", hours, minutes, secs);
    else if (parts == DatePart)
        std::snprintf(text, sizeof text, "%04lld-%02u-%02u", year, month, day);
    else
        std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02d:%02d:%02d", year, month, day, hours, minutes, secs);
    return std::string(text);
}

} // namespace calvero
