// Delphi-style formatting and conversion routines: Format, FormatFloat, FormatDateTime, the
// short date settings and text <-> number/date conversions. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace zl::format {

// A date-time as a count of days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Raised when a text cannot be converted to a number or a date.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The system's one settings object: separators and the short date format.
struct FormatSettings {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy/MM/dd";
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
};
FormatSettings& Settings();

// One argument of Format.
using FormatArg = std::variant<long long, double, std::string>;

// Delphi Format: %d, %s, %f, %e, %g, %x, %u with optional width and precision ("%1.2f", "%.10d",
// "%5s", "%-5s"); "%%" writes a percent sign. A mismatched or missing argument raises
// EConvertError.
std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args);

template <class... Args>
std::string Format(std::string_view fmt, const Args&... args) {
    std::vector<FormatArg> v;
    v.reserve(sizeof...(Args));
    [[maybe_unused]] auto add = [&v](const auto& a) {
        using A = std::decay_t<decltype(a)>;
        if constexpr (std::is_floating_point_v<A>)
            v.emplace_back(static_cast<double>(a));
        else if constexpr (std::is_integral_v<A>)
            v.emplace_back(static_cast<long long>(a));
        else
            v.emplace_back(std::string(a));
    };
    (add(args), ...);
    return FormatV(fmt, v);
}

// The number as Format("%.<decimals>f") writes it, or as "%.<decimals>n" (thousands separated)
// when `thousands` is set; for the many numbers of one column, without reading a pattern.
std::string FormatFixed(double value, int decimals, bool thousands);

// Delphi FormatFloat masks: "0", "0.00", "0.000", "#,##0.00", "#,##0.##", "##0.# %" and the like;
// literal text and quoted text pass through; up to three sections separated by ";".
std::string FormatFloat(std::string_view mask, double value);

// Delphi FormatDateTime patterns: yyyy, yy, MM/mm (month, or minutes after h), M, dd, d, hh, h,
// nn, mm, ss, zzz, AM/PM; "/" and ":" stand for the settings' separators; quoted text passes.
std::string FormatDateTime(std::string_view pattern, TDateTime dt);

TDateTime Now();
TDateTime Date();  // today, time part 0
TDateTime Time();  // the time now, date part 0

TDateTime EncodeDate(int year, int month, int day);  // raises EConvertError when invalid
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
TDateTime DateOf(TDateTime dt);  // the date part
TDateTime TimeOf(TDateTime dt);  // the time part
TDateTime IncDay(TDateTime dt, int days);
int DaysBetween(TDateTime a, TDateTime b);  // whole days, never negative
TDateTime IncMonth(TDateTime dt, int months);

// Text in the short date format, optionally followed by a time; raise EConvertError.
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);      // "hh:mm:ss"
std::string DateTimeToStr(TDateTime dt);  // date, and " hh:mm:ss" unless the time is 0
TDateTime StrToDate(std::string_view text);
TDateTime StrToDateTime(std::string_view text);
TDateTime StrToTime(std::string_view text);
bool TryStrToDate(std::string_view text, TDateTime& out);
bool TryStrToDateTime(std::string_view text, TDateTime& out);

// The canonical stored form of a date-time: "YYYY-MM-DD HH:MM:SS".
std::string DateTimeToIso(TDateTime dt);
bool TryIsoToDateTime(std::string_view text, TDateTime& out);

std::string IntToStr(long long value);
int StrToInt(std::string_view text);  // raises EConvertError
int StrToIntDef(std::string_view text, int fallback);
double StrToFloat(std::string_view text);  // "." as decimal point; raises EConvertError
bool TryStrToFloat(std::string_view text, double& out);
std::string FloatToStr(double value);  // shortest text with up to 15 significant digits

}  // namespace zl::format
