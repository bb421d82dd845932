#include "locale/date_time_text.h"

#include <array>

#include "schedule/utf8_text.h"

namespace kv {
namespace {

// A number with at least two digits: 7 -> "07".
std::string twoDigits(int value) {
  std::string digits = std::to_string(value);
  return digits.size() < 2 ? "0" + digits : digits;
}

bool isYearLetter(char c) {
  return c == 'y' || c == 'Y';
}

std::string cutToLimit(std::string text) {
  text.resize(utf16Head(text, kMaxDateTimeText).size());
  return text;
}

// The hour a 12-hour clock shows: 0 -> 12, 13 -> 1.
int twelveHourClock(int hour) {
  const int shown = hour % 12;
  return shown == 0 ? 12 : shown;
}

struct LanguageBase {
  std::string_view letters;
  int base;
};

constexpr std::array<LanguageBase, 14> kLanguageBases{{
    {"en", 100},
    {"es", 200},
    {"de", 300},
    {"fr", 400},
    {"fi", 500},
    {"nl", 600},
    {"da", 700},
    {"sv", 800},
    {"sk", 900},
    {"pt", 1000},
    {"no", 1100},
    {"it", 1200},
    {"is", 1300},
    {"hu", 1400},
}};

constexpr int kEnglishBase = 100;

// The year as a two-digit date shows it: 1995 -> 95, 2005 -> 5.
int twoDigitYear(int year) {
  return year < 2000 ? year - 1900 : year - 2000;
}

}  // namespace

std::string formatDate(const DateSettings& settings, int month, int day, int year) {
  const std::string yearText = std::to_string(settings.fullYear ? year : twoDigitYear(year));
  const std::string& sep = settings.separator;
  switch (settings.order) {
    case kDayFirst:
      return cutToLimit(twoDigits(day) + sep + twoDigits(month) + sep + yearText);
    case kYearFirst:
      return cutToLimit(yearText + sep + twoDigits(month) + sep + twoDigits(day));
    default:
      // An order the settings should never hold still shows the date, month
      // first, rather than leaving the row without one.
      return cutToLimit(twoDigits(month) + sep + twoDigits(day) + sep + yearText);
  }
}

std::string formatDayAndMonth(const DateSettings& settings, int month, int day) {
  const std::string& sep = settings.separator;
  if (settings.order == kDayFirst) return cutToLimit(twoDigits(day) + sep + twoDigits(month));
  return cutToLimit(twoDigits(month) + sep + twoDigits(day));
}

std::string formatTime(const TimeSettings& settings, int hour, int minute) {
  const bool twentyFourHour = settings.form == 1;
  const int shownHour = twentyFourHour ? hour : twelveHourClock(hour);
  const std::string& designator = hour < 12 ? settings.morning : settings.afternoon;

  std::string hourText;
  if (shownHour < 10 && settings.leadingZero == 1) {
    hourText = twoDigits(shownHour);
  } else if (!twentyFourHour && hour < 12) {
    // Morning hours without a leading zero are padded with a blank instead,
    // so that " 9:05am" and "10:30am" line up; afternoon hours are not.
    hourText = " " + std::to_string(shownHour);
  } else {
    hourText = std::to_string(shownHour);
  }
  return cutToLimit(hourText + settings.separator + twoDigits(minute) + designator);
}

bool shortDatePatternShowsFullYear(std::string_view shortDate) {
  const std::size_t first = shortDate.find_first_of("yY");
  if (first == std::string_view::npos || first + 1 >= shortDate.size()) return true;
  // Three year letters in a row mean the full year; "yy" or a lone "y" that
  // is followed by something else mean two digits.
  const std::size_t third = first + 2;
  return third < shortDate.size() && isYearLetter(shortDate[third]);
}

int languageBase(std::string_view languageCode) {
  const std::string_view letters = languageCode.substr(0, 2);
  for (const LanguageBase& entry : kLanguageBases) {
    if (entry.letters == letters) return entry.base;
  }
  return kEnglishBase;
}

int monthNameResourceId(int month, std::string_view languageCode) {
  return kMonthNameResourceBase + languageBase(languageCode) + month;
}

std::string displayRow(std::string_view dateText, std::string_view timeText,
                       std::string_view description) {
  std::string row;
  row.reserve(dateText.size() + timeText.size() + description.size() + 5);
  row.append(dateText).append(" at ").append(timeText).append(" ").append(description);
  return row;
}

std::string fitToRoom(std::string_view text, std::size_t room) {
  if (room == 0) return {};
  const std::string_view beforeZero = text.substr(0, text.find('\0'));
  return std::string(utf16Head(beforeZero, room - 1));
}

}  // namespace kv
