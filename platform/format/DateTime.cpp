// TDateTime: encoding, decoding, FormatDateTime and the text <-> date conversions.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/format/Format.h"

namespace zl::format {

namespace {

constexpr long long kMsPerDay = 86400000LL;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar (any year).
constexpr long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
}

constexpr long long kEpoch = DaysFromCivil(1899, 12, 30);
static_assert(kEpoch == -25569);

bool IsLeapYear(long long y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(long long y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

bool ValidDate(long long y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

// A moment as its calendar day (0 = 1899-12-30) and the milliseconds since that day's midnight,
// rounded to the millisecond. Delphi's convention for negative values: the integer part is the
// day and the fraction, whatever its sign, counts forward from midnight (-1.25 is 1899-12-29
// 06:00).
struct Moment {
    long long day = 0;
    long long ms = 0;
};

Moment Split(TDateTime dt) {
    if (!std::isfinite(dt))
        dt = 0;
    dt = std::clamp(dt, -1e9, 1e9);
    long long total = std::llround(dt * static_cast<double>(kMsPerDay));
    Moment m;
    m.day = total / kMsPerDay;
    m.ms = total % kMsPerDay;
    if (m.ms < 0)
        m.ms = -m.ms;
    return m;
}

TDateTime Compose(long long day, long long ms) {
    double t = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return day >= 0 ? static_cast<double>(day) + t : static_cast<double>(day) - t;
}

long long Linear(TDateTime dt) {
    Moment m = Split(dt);
    return m.day * kMsPerDay + m.ms;
}

struct Parts {
    long long year = 0;
    int month = 0, day = 0, dayOfWeek = 0;  // dayOfWeek 0 = Sunday
    int hour = 0, minute = 0, second = 0, msec = 0;
    bool timeIsZero = true;
};

Parts PartsOf(TDateTime dt) {
    Moment m = Split(dt);
    Parts p;
    unsigned mo = 0, d = 0;
    CivilFromDays(m.day + kEpoch, p.year, mo, d);
    p.month = static_cast<int>(mo);
    p.day = static_cast<int>(d);
    p.dayOfWeek = static_cast<int>(((m.day + 6) % 7 + 7) % 7);  // 1899-12-30 was a Saturday
    p.hour = static_cast<int>(m.ms / 3600000);
    p.minute = static_cast<int>(m.ms / 60000 % 60);
    p.second = static_cast<int>(m.ms / 1000 % 60);
    p.msec = static_cast<int>(m.ms % 1000);
    p.timeIsZero = m.ms == 0;
    return p;
}

const char* const kShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
const char* const kShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr std::string_view kShortTimeFormat = "hh:nn";
constexpr std::string_view kLongTimeFormat = "hh:nn:ss";
constexpr std::string_view kLongDateFormat = "dddd, MMMM d, yyyy";

void AppendNumber(std::string& out, long long n, int minDigits) {
    std::string s = std::to_string(n < 0 ? -n : n);
    if (static_cast<int>(s.size()) < minDigits)
        s.insert(0, static_cast<std::size_t>(minDigits) - s.size(), '0');
    if (n < 0)
        out += '-';
    out += s;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool MatchesAt(std::string_view s, std::size_t pos, std::string_view word) {
    if (pos + word.size() > s.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(s[pos + i]) != word[i])
            return false;
    return true;
}

void AppendFormat(std::string& out, std::string_view fmt, const Parts& p, int depth) {
    if (depth > 2)
        return;
    const FormatSettings& fs = Settings();
    char lastToken = ' ';
    std::size_t i = 0;
    const std::size_t n = fmt.size();
    while (i < n) {
        const char starter = fmt[i];
        char token = Upper(starter);
        ++i;
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        auto count = [&]() {
            std::size_t start = i - 1;
            while (i < n && fmt[i] == starter)
                ++i;
            return static_cast<int>(i - start);
        };
        switch (token) {
            case 'Y': {
                int c = count();
                if (c <= 2)
                    AppendNumber(out, ((p.year % 100) + 100) % 100, 2);
                else
                    AppendNumber(out, p.year, 4);
                break;
            }
            case 'M': {
                int c = count();
                if (c <= 2)
                    AppendNumber(out, p.month, c);
                else if (c == 3)
                    out += kShortMonthNames[p.month - 1];
                else
                    out += kLongMonthNames[p.month - 1];
                break;
            }
            case 'D': {
                int c = count();
                if (c <= 2)
                    AppendNumber(out, p.day, c);
                else if (c == 3)
                    out += kShortDayNames[p.dayOfWeek];
                else if (c == 4)
                    out += kLongDayNames[p.dayOfWeek];
                else if (c == 5)
                    AppendFormat(out, fs.ShortDateFormat, p, depth + 1);
                else
                    AppendFormat(out, kLongDateFormat, p, depth + 1);
                break;
            }
            case 'H': {
                int c = std::min(count(), 2);
                bool twelveHour = false;
                bool quoted = false;
                for (std::size_t k = i; k < n; ++k) {
                    char ch = fmt[k];
                    if (ch == '\'' || ch == '"') {
                        quoted = !quoted;
                    } else if (!quoted && (ch == 'a' || ch == 'A')) {
                        twelveHour = MatchesAt(fmt, k, "am/pm") || MatchesAt(fmt, k, "a/p") ||
                                     MatchesAt(fmt, k, "ampm");
                        break;
                    } else if (!quoted && (ch == 'h' || ch == 'H')) {
                        break;
                    }
                }
                int h = p.hour;
                if (twelveHour) {
                    if (h == 0)
                        h = 12;
                    else if (h > 12)
                        h -= 12;
                }
                AppendNumber(out, h, c);
                break;
            }
            case 'N':
                AppendNumber(out, p.minute, std::min(count(), 2));
                break;
            case 'S':
                AppendNumber(out, p.second, std::min(count(), 2));
                break;
            case 'Z':
                AppendNumber(out, p.msec, std::min(count(), 3));
                break;
            case 'T':
                AppendFormat(out, count() == 1 ? kShortTimeFormat : kLongTimeFormat, p, depth + 1);
                break;
            case 'C':
                count();
                AppendFormat(out, fs.ShortDateFormat, p, depth + 1);
                if (!p.timeIsZero) {
                    out += ' ';
                    AppendFormat(out, kLongTimeFormat, p, depth + 1);
                }
                break;
            case 'A': {
                std::size_t at = i - 1;
                if (MatchesAt(fmt, at, "am/pm")) {
                    out.append(fmt.substr(p.hour >= 12 ? at + 3 : at, 2));
                    i = at + 5;
                } else if (MatchesAt(fmt, at, "a/p")) {
                    out += fmt[p.hour >= 12 ? at + 2 : at];
                    i = at + 3;
                } else if (MatchesAt(fmt, at, "ampm")) {
                    out += p.hour < 12 ? "AM" : "PM";
                    i = at + 4;
                } else if (MatchesAt(fmt, at, "aaaa")) {
                    out += kLongDayNames[p.dayOfWeek];
                    i = at + 4;
                } else if (MatchesAt(fmt, at, "aaa")) {
                    out += kShortDayNames[p.dayOfWeek];
                    i = at + 3;
                } else {
                    out += starter;
                }
                break;
            }
            case '/':
                if (fs.DateSeparator != '\0')
                    out += fs.DateSeparator;
                break;
            case ':':
                if (fs.TimeSeparator != '\0')
                    out += fs.TimeSeparator;
                break;
            case '\'':
            case '"': {
                std::size_t end = fmt.find(starter, i);
                if (end == std::string_view::npos)
                    end = n;
                out.append(fmt.substr(i, end - i));
                i = end < n ? end + 1 : n;
                break;
            }
            default:
                out += starter;
                break;
        }
    }
}

// ---- parsing

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Reads 1..maxDigits digits at pos.
bool ScanNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        if (++digits > maxDigits)
            return false;
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return digits > 0;
}

// The order of year ('Y'), month ('M') and day ('D') in the short date format.
std::string DateOrder() {
    std::string order;
    std::string_view f = Settings().ShortDateFormat;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char c = Upper(f[i]);
        if (f[i] == '\'' || f[i] == '"') {
            std::size_t end = f.find(f[i], i + 1);
            if (end == std::string_view::npos)
                break;
            i = end;
        } else if ((c == 'Y' || c == 'M' || c == 'D') && order.find(c) == std::string::npos) {
            order += c;
        }
    }
    for (char c : std::string_view("YMD"))
        if (order.find(c) == std::string::npos)
            order += c;
    return order;
}

// A date in the short date format's field order with the date separator.
bool ScanDate(std::string_view s, std::size_t& pos, long long& day) {
    const std::string order = DateOrder();
    const char sep = Settings().DateSeparator;
    int year = -1, month = -1, dayOfMonth = -1;
    for (int f = 0; f < 3; ++f) {
        if (f > 0) {
            if (pos >= s.size() || s[pos] != sep)
                return false;
            ++pos;
        }
        int value = 0, digits = 0;
        if (!ScanNumber(s, pos, 4, value, digits))
            return false;
        switch (order[static_cast<std::size_t>(f)]) {
            case 'Y':
                if (digits == 2)
                    value += value < 50 ? 2000 : 1900;
                else if (digits != 4)
                    return false;
                year = value;
                break;
            case 'M':
                if (digits > 2)
                    return false;
                month = value;
                break;
            default:
                if (digits > 2)
                    return false;
                dayOfMonth = value;
                break;
        }
    }
    if (!ValidDate(year, month, dayOfMonth))
        return false;
    day = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(dayOfMonth)) -
          kEpoch;
    return true;
}

// "h:mm" or "h:mm:ss" (optionally ".zzz"), with the time separator, optionally " AM"/" PM".
bool ScanTime(std::string_view s, std::size_t& pos, long long& ms) {
    const char sep = Settings().TimeSeparator;
    int hour = 0, minute = 0, second = 0, msec = 0, digits = 0;
    if (!ScanNumber(s, pos, 2, hour, digits))
        return false;
    if (pos >= s.size() || s[pos] != sep)
        return false;
    ++pos;
    if (!ScanNumber(s, pos, 2, minute, digits))
        return false;
    if (pos < s.size() && s[pos] == sep) {
        ++pos;
        if (!ScanNumber(s, pos, 2, second, digits))
            return false;
        if (pos < s.size() && s[pos] == '.') {
            ++pos;
            if (!ScanNumber(s, pos, 3, msec, digits))
                return false;
            while (digits++ < 3)
                msec *= 10;
        }
    }
    std::size_t after = pos;
    while (after < s.size() && s[after] == ' ')
        ++after;
    if (after > pos && (MatchesAt(s, after, "am") || MatchesAt(s, after, "pm"))) {
        if (hour < 1 || hour > 12)
            return false;
        bool pm = Lower(s[after]) == 'p';
        if (hour == 12)
            hour = 0;
        if (pm)
            hour += 12;
        pos = after + 2;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    ms = ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
    return true;
}

bool ParseTimeOnly(std::string_view text, long long& ms) {
    std::string_view s = Trim(text);
    std::size_t pos = 0;
    return ScanTime(s, pos, ms) && pos == s.size();
}

bool TwoDigitsAt(std::string_view s, std::size_t pos, int& value) {
    if (pos + 2 > s.size())
        return false;
    char a = s[pos], b = s[pos + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return false;
    value = (a - '0') * 10 + (b - '0');
    return true;
}

}  // namespace

// ---- encoding and decoding

TDateTime EncodeDate(int year, int month, int day) {
    if (!ValidDate(year, month, day))
        throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return static_cast<double>(((hour * 60LL + minute) * 60 + second) * 1000 + msec) /
           static_cast<double>(kMsPerDay);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    Parts p = PartsOf(dt);
    year = static_cast<int>(p.year);
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) {
    Parts p = PartsOf(dt);
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

TDateTime DateOf(TDateTime dt) {
    return static_cast<double>(Split(dt).day);
}

TDateTime TimeOf(TDateTime dt) {
    return static_cast<double>(Split(dt).ms) / static_cast<double>(kMsPerDay);
}

TDateTime IncDay(TDateTime dt, int days) {
    Moment m = Split(dt);
    if (dt >= 0 && m.day + days >= 0)
        return dt + days;
    return Compose(m.day + days, m.ms);
}

int DaysBetween(TDateTime a, TDateTime b) {
    long long diff = Linear(a) - Linear(b);
    if (diff < 0)
        diff = -diff;
    return static_cast<int>(diff / kMsPerDay);
}

TDateTime IncMonth(TDateTime dt, int months) {
    Moment m = Split(dt);
    long long y = 0;
    unsigned mo = 0, d = 0;
    CivilFromDays(m.day + kEpoch, y, mo, d);
    long long total = y * 12 + (mo - 1) + months;
    long long ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
    int nm = static_cast<int>(total - ny * 12) + 1;
    int nd = std::min(static_cast<int>(d), DaysInMonth(ny, nm));
    if (ny < 1 || ny > 9999)
        throw EConvertError("Invalid argument to date encode");
    long long day =
        DaysFromCivil(ny, static_cast<unsigned>(nm), static_cast<unsigned>(nd)) - kEpoch;
    return Compose(day, m.ms);
}

TDateTime Now() {
    using namespace std::chrono;
    long long msSinceEpoch =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    long long secs = msSinceEpoch >= 0 ? msSinceEpoch / 1000 : -((-msSinceEpoch + 999) / 1000);
    std::time_t t = static_cast<std::time_t>(secs);
    std::tm lt{};
    localtime_r(&t, &lt);
    long long day = DaysFromCivil(lt.tm_year + 1900LL, static_cast<unsigned>(lt.tm_mon + 1),
                                  static_cast<unsigned>(lt.tm_mday)) -
                    kEpoch;
    long long ms = ((lt.tm_hour * 60LL + lt.tm_min) * 60 + std::min(lt.tm_sec, 59)) * 1000 +
                   (msSinceEpoch - secs * 1000);
    return Compose(day, ms);
}

TDateTime Date() {
    return DateOf(Now());
}

TDateTime Time() {
    return TimeOf(Now());
}

// ---- text

std::string FormatDateTime(std::string_view pattern, TDateTime dt) {
    std::string out;
    AppendFormat(out, pattern.empty() ? std::string_view("C") : pattern, PartsOf(dt), 0);
    return out;
}

std::string DateToStr(TDateTime dt) {
    return FormatDateTime(Settings().ShortDateFormat, dt);
}

std::string TimeToStr(TDateTime dt) {
    return FormatDateTime(kLongTimeFormat, dt);
}

std::string DateTimeToStr(TDateTime dt) {
    std::string out = DateToStr(dt);
    if (Split(dt).ms != 0)
        out += ' ' + TimeToStr(dt);
    return out;
}

bool TryStrToDate(std::string_view text, TDateTime& out) {
    std::string_view s = Trim(text);
    std::size_t pos = 0;
    long long day = 0;
    if (!ScanDate(s, pos, day) || pos != s.size())
        return false;
    out = static_cast<double>(day);
    return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& out) {
    std::string_view s = Trim(text);
    std::size_t pos = 0;
    long long day = 0;
    if (ScanDate(s, pos, day)) {
        if (pos == s.size()) {
            out = static_cast<double>(day);
            return true;
        }
        std::size_t timePos = pos;
        while (timePos < s.size() && s[timePos] == ' ')
            ++timePos;
        long long ms = 0;
        if (timePos > pos && ScanTime(s, timePos, ms) && timePos == s.size()) {
            out = Compose(day, ms);
            return true;
        }
        return false;
    }
    long long ms = 0;  // Delphi accepts a time alone
    if (!ParseTimeOnly(s, ms))
        return false;
    out = Compose(0, ms);
    return true;
}

TDateTime StrToDate(std::string_view text) {
    TDateTime out = 0;
    if (!TryStrToDate(text, out))
        throw EConvertError("'" + std::string(text) + "' is not a valid date");
    return out;
}

TDateTime StrToDateTime(std::string_view text) {
    TDateTime out = 0;
    if (!TryStrToDateTime(text, out))
        throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
    return out;
}

TDateTime StrToTime(std::string_view text) {
    long long ms = 0;
    if (!ParseTimeOnly(text, ms))
        throw EConvertError("'" + std::string(text) + "' is not a valid time");
    return Compose(0, ms);
}

std::string DateTimeToIso(TDateTime dt) {
    Moment m = Split(dt);
    long long secs = (m.ms + 500) / 1000;
    if (secs >= 86400) {
        secs -= 86400;
        ++m.day;
    }
    long long y = 0;
    unsigned mo = 0, d = 0;
    CivilFromDays(m.day + kEpoch, y, mo, d);
    std::string out;
    AppendNumber(out, y, 4);
    out += '-';
    AppendNumber(out, mo, 2);
    out += '-';
    AppendNumber(out, d, 2);
    out += ' ';
    AppendNumber(out, secs / 3600, 2);
    out += ':';
    AppendNumber(out, secs / 60 % 60, 2);
    out += ':';
    AppendNumber(out, secs % 60, 2);
    return out;
}

bool TryIsoToDateTime(std::string_view s, TDateTime& out) {
    const std::size_t len = s.size();
    if (len != 10 && len != 16 && len != 19)
        return false;
    int c = 0, yy = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!TwoDigitsAt(s, 0, c) || !TwoDigitsAt(s, 2, yy) || s[4] != '-' ||
        !TwoDigitsAt(s, 5, month) || s[7] != '-' || !TwoDigitsAt(s, 8, day))
        return false;
    if (len >= 16) {
        if (len == 16 && s[10] != ' ')
            return false;
        if (len == 19 && s[10] != ' ' && s[10] != 'T')
            return false;
        if (!TwoDigitsAt(s, 11, hour) || s[13] != ':' || !TwoDigitsAt(s, 14, minute))
            return false;
        if (len == 19 && (s[16] != ':' || !TwoDigitsAt(s, 17, second)))
            return false;
    }
    int year = c * 100 + yy;
    if (!ValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return false;
    long long dayIndex =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch;
    out = Compose(dayIndex, ((hour * 60LL + minute) * 60 + second) * 1000);
    return true;
}

}  // namespace zl::format
