#include "locale/regional_settings_win32.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "engine/calendar.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

constexpr const wchar_t* kProfileSection = L"intl";
constexpr const char* kDefaultShortDate = "M/D/YY";

// Room for any locale value we ask for; month names are the longest.
constexpr int kLocaleQueryRoom = 100;

// A locale value, or nothing when the query fails.
std::optional<std::wstring> localeText(LCID locale, LCTYPE type) {
  wchar_t buffer[kLocaleQueryRoom] = {};
  const int written = GetLocaleInfoW(locale, type, buffer, kLocaleQueryRoom);
  if (written <= 0) return std::nullopt;
  return std::wstring(buffer);
}

// The digits at the head of a locale value, as atoi reads them.
int leadingInteger(const std::wstring& text) {
  return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

// The text cut to at most `units` UTF-16 code units, never between the two
// halves of a surrogate pair, in UTF-8.
std::string utf8Within(std::wstring_view wide, std::size_t units) {
  std::size_t count = std::min(wide.size(), units);
  if (count > 0 && count < wide.size() && IS_HIGH_SURROGATE(wide[count - 1])) --count;
  return toUtf8(wide.substr(0, count));
}

// Replaces `target` by a locale text converted like the designators; a
// failed query keeps the value it had.
void readLocaleShortText(LCID locale, LCTYPE type, std::string& target) {
  if (const auto text = localeText(locale, type)) {
    target = utf8Within(*text, kLocaleTextRoom - 1);
  }
}

void readLocaleInteger(LCID locale, LCTYPE type, int& target) {
  if (const auto text = localeText(locale, type)) target = leadingInteger(*text);
}

std::string profileText(const wchar_t* key, const std::string& fallback, std::size_t room) {
  std::wstring buffer(room, L'\0');
  GetProfileStringW(kProfileSection, key, toWide(fallback).c_str(), buffer.data(),
                    static_cast<DWORD>(room));
  return fitToRoom(toUtf8(buffer), room);
}

int profileInteger(const wchar_t* key, int fallback) {
  return static_cast<int>(GetProfileIntW(kProfileSection, key, fallback));
}

bool isMonth(int month) {
  return month >= 1 && month <= 12;
}

}  // namespace

std::optional<DateSettings> readLocaleDateSettings(LCID locale) {
  if (locale == 0) return std::nullopt;
  const auto order = localeText(locale, LOCALE_IDATE);
  if (!order) return std::nullopt;

  DateSettings settings;
  settings.order = leadingInteger(*order);
  readLocaleShortText(locale, LOCALE_SDATE, settings.separator);
  // Only a century value of exactly "0" asks for two digits.
  settings.fullYear = localeText(locale, LOCALE_ICENTURY) != std::wstring(L"0");
  return settings;
}

std::optional<TimeSettings> readLocaleTimeSettings(LCID locale) {
  const auto form = localeText(locale, LOCALE_ITIME);
  if (!form) return std::nullopt;

  TimeSettings settings;
  settings.form = leadingInteger(*form);
  readLocaleShortText(locale, LOCALE_STIME, settings.separator);
  readLocaleInteger(locale, LOCALE_ITLZERO, settings.leadingZero);
  readLocaleShortText(locale, LOCALE_S1159, settings.morning);
  readLocaleShortText(locale, LOCALE_S2359, settings.afternoon);
  return settings;
}

// Each value from its key of the section, or the default where it is missing.
DateSettings readProfileDateSettings() {
  const DateSettings defaults;
  return DateSettings{
      .order = profileInteger(L"iDate", defaults.order),
      .separator = profileText(L"sDate", defaults.separator, kProfileSeparatorRoom),
      .fullYear = shortDatePatternShowsFullYear(
          profileText(L"sShortDate", kDefaultShortDate, kProfileShortDateRoom)),
  };
}

TimeSettings readProfileTimeSettings() {
  const TimeSettings defaults;
  return TimeSettings{
      .form = profileInteger(L"iTime", defaults.form),
      .separator = profileText(L"sTime", defaults.separator, kProfileSeparatorRoom),
      .leadingZero = profileInteger(L"itlzero", defaults.leadingZero),
      .morning = profileText(L"s1159", defaults.morning, kProfileDesignatorRoom),
      .afternoon = profileText(L"s2359", defaults.afternoon, kProfileDesignatorRoom),
  };
}

DateSettings readDateSettings() {
  if (auto settings = readLocaleDateSettings(GetUserDefaultLCID())) return *settings;
  return readProfileDateSettings();
}

TimeSettings readTimeSettings() {
  if (auto settings = readLocaleTimeSettings(GetUserDefaultLCID())) return *settings;
  return readProfileTimeSettings();
}

std::optional<std::string> localeMonthName(LCID locale, int month) {
  if (!isMonth(month)) return std::nullopt;
  const auto type = static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + (month - 1));
  const auto name = localeText(locale, type);
  if (!name || name->empty()) return std::nullopt;
  const std::wstring_view head = std::wstring_view(*name).substr(0, kLocaleMonthNameMax);
  std::string converted = utf8Within(head, kLocaleMonthNameMax);
  if (converted.empty()) return std::nullopt;
  return converted;
}

std::optional<std::string> monthName(int month) {
  return localeMonthName(GetUserDefaultLCID(), month);
}

std::string resourceMonthName(int month, std::string_view languageCode, HINSTANCE instance) {
  if (!isMonth(month)) return {};
  wchar_t buffer[kResourceMonthNameRoom] = {};
  const int length =
      LoadStringW(instance, static_cast<UINT>(monthNameResourceId(month, languageCode)), buffer,
                  static_cast<int>(kResourceMonthNameRoom));
  return toUtf8(std::wstring_view(buffer, static_cast<std::size_t>(std::max(length, 0))));
}

std::string monthNameOrResource(int month, std::string_view languageCode, HINSTANCE instance) {
  if (auto name = monthName(month)) return *name;
  return resourceMonthName(month, languageCode, instance);
}

void fillMonthComboBox(HWND dialog, int controlId, std::string_view languageCode) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  for (int month = 1; month <= 12; ++month) {
    // Every month gets its row, even an empty one, so that row m - 1 stays
    // month m for the dialog that reads the selection back.
    const std::wstring name = toWide(monthNameOrResource(month, languageCode, instance));
    SendDlgItemMessageW(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
}

std::string formatStartRow(Time start, const std::string& description) {
  const LocalTime when = toLocalTime(start);
  return displayRow(formatDate(readDateSettings(), when.month, when.day, when.year),
                    formatTime(readTimeSettings(), when.hour, when.minute), description);
}

RowFormatter startRowFormatterForManyRows() {
  struct Snapshot {
    DateSettings date = readDateSettings();
    TimeSettings time = readTimeSettings();
    LocalTime lastDay{};
    std::string lastDate;
  };
  auto snapshot = std::make_shared<Snapshot>();
  return [snapshot](Time start, const std::string& description) {
    Snapshot& s = *snapshot;
    const LocalTime when = toLocalTime(start);
    if (s.lastDate.empty() || when.day != s.lastDay.day || when.month != s.lastDay.month ||
        when.year != s.lastDay.year) {
      s.lastDate = formatDate(s.date, when.month, when.day, when.year);
      s.lastDay = when;
    }
    return displayRow(s.lastDate, formatTime(s.time, when.hour, when.minute), description);
  };
}

namespace {

// "DATE TIME", the date with its year or without.
std::string dateAndTime(Time t, bool withYear) {
  const LocalTime when = toLocalTime(t);
  std::string time = formatTime(readTimeSettings(), when.hour, when.minute);
  // A morning hour without its leading zero is padded with a blank.
  if (!time.empty() && time.front() == ' ') time.erase(0, 1);
  const DateSettings date = readDateSettings();
  return (withYear ? formatDate(date, when.month, when.day, when.year)
                   : formatDayAndMonth(date, when.month, when.day)) +
         " " + time;
}

}  // namespace

std::string formatStartTime(Time start) {
  return dateAndTime(start, true);
}

std::string formatRecentTime(Time when) {
  return dateAndTime(when, false);
}

}  // namespace kv
