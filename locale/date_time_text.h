// Date and time text by the user's regional settings, and the month names of
// the string table.
//
// The settings arrive as plain values (the Win32 side reads them from the
// locale or the "intl" profile section for every text it builds); the rules
// that turn them into text live here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// Texts are UTF-8; lengths and rooms count characters as Windows does
// (UTF-16 code units), so that no text is cut inside a character.

// The longest date or time text; anything longer is cut.
inline constexpr std::size_t kMaxDateTimeText = 19;

// Rooms of the settings, terminating zero included, as the settings readers
// use them: a locale separator or designator keeps 4 characters, a profile
// designator 9, a profile separator 4, the profile's short-date pattern 19.
inline constexpr std::size_t kLocaleTextRoom = 5;
inline constexpr std::size_t kProfileDesignatorRoom = 10;
inline constexpr std::size_t kProfileSeparatorRoom = 5;
inline constexpr std::size_t kProfileShortDateRoom = 20;

// Month names: at most 50 characters from the locale, 98 from the string
// table.
inline constexpr std::size_t kLocaleMonthNameMax = 50;
inline constexpr std::size_t kResourceMonthNameRoom = 99;

// The first string-table entry of the month names: entry
// kMonthNameResourceBase + languageBase + m names month m.
inline constexpr int kMonthNameResourceBase = 10000;

// Which part of a date comes first.
inline constexpr int kMonthFirst = 0;
inline constexpr int kDayFirst = 1;
inline constexpr int kYearFirst = 2;

struct DateSettings {
  int order = kMonthFirst;  // kMonthFirst, kDayFirst or kYearFirst; others show month first
  std::string separator = "/";
  bool fullYear = false;  // false: two digits
};

struct TimeSettings {
  int form = 0;  // 1: 24-hour form; anything else: 12-hour form
  std::string separator = ":";
  int leadingZero = 1;           // 1: hours below 10 get a leading zero
  std::string morning = "am";    // follows a time before 12:00
  std::string afternoon = "pm";  // follows a time from 12:00 on
};

// The text of a date (month 1..12, day 1..31, year in full), at most
// kMaxDateTimeText characters.
std::string formatDate(const DateSettings& settings, int month, int day, int year);

// The day and month of a date without its year, in the order and with the
// separator of the settings ("12/10", "10.12"; a date whose year comes
// first shows the month, then the day).
std::string formatDayAndMonth(const DateSettings& settings, int month, int day);

// The text of a time of day (hour 0..23, minute 0..59), at most
// kMaxDateTimeText characters.
std::string formatTime(const TimeSettings& settings, int hour, int minute);

// Whether a short-date pattern of the profile ("M/d/yy", "dd.MM.yyyy")
// shows the year in full.
bool shortDatePatternShowsFullYear(std::string_view shortDate);

// The string-table base of a language code's month names: 100 for "en..."
// up to 1400 for "hu...", by its first two letters in lower case; every other
// code (upper-case ones too) gives English, 100.
int languageBase(std::string_view languageCode);

// The string-table entry of month m (1..12) in a language.
int monthNameResourceId(int month, std::string_view languageCode);

// The row the visible list shows for an entry: "<date> at <time> <description>".
std::string displayRow(std::string_view dateText, std::string_view timeText,
                       std::string_view description);

// The text as it fits a buffer of `room` characters with its terminating
// zero: at most room - 1 characters, and nothing from an embedded zero on.
std::string fitToRoom(std::string_view text, std::size_t room);

}  // namespace kv
