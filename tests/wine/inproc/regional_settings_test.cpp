// The regional settings against Wine's real locale data, profile and string
// table. Run once as is (an English locale) and once with LC_ALL=de_DE.UTF-8
// for the German checks of the user's locale.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/list_box_win32.h"
#include "engine/calendar.h"
#include "locale/regional_settings_win32.h"
#include "schedule/code_pages_win32.h"
#include "schedule/schedule_store.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr LCID kEnglishUs = 0x0409;
constexpr LCID kGerman = 0x0407;
constexpr int kMonthList = 138;

std::string inCodePage(UINT codePage, const wchar_t* text) {
  char buffer[128] = {};
  const int written =
      WideCharToMultiByte(codePage, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return written > 0 ? std::string(buffer) : std::string();
}

HINSTANCE thisModule() {
  return GetModuleHandleA(nullptr);
}

bool userLocaleIsGerman() {
  return GetUserDefaultLCID() == kGerman;
}

// Sets values of the profile's "intl" section and puts the previous ones
// back (or removes keys that were missing), whatever the test does: the
// section lives in the Wine prefix and outlasts the test run.
class ScopedIntlValues {
 public:
  using Values = std::vector<std::pair<const char*, const char*>>;

  explicit ScopedIntlValues(const Values& values) {
    for (const auto& [key, value] : values) {
      saved_.emplace_back(key, currentValue(key));
      WriteProfileStringA("intl", key, value);
    }
  }
  ~ScopedIntlValues() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      WriteProfileStringA("intl", it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    }
  }
  ScopedIntlValues(const ScopedIntlValues&) = delete;
  ScopedIntlValues& operator=(const ScopedIntlValues&) = delete;

  static std::optional<std::string> currentValue(const char* key) {
    constexpr const char* kMissing = "\x01missing\x01";
    char buffer[256] = {};
    GetProfileStringA("intl", key, kMissing, buffer, sizeof buffer);
    if (std::string(buffer) == kMissing) return std::nullopt;
    return std::string(buffer);
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// A plain window holding one combo box, destroyed with the fixture.
class MonthListWindow {
 public:
  MonthListWindow() {
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                              thisModule(), nullptr);
    CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 150, 200,
                    parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMonthList)),
                    thisModule(), nullptr);
  }
  ~MonthListWindow() { DestroyWindow(parent_); }
  MonthListWindow(const MonthListWindow&) = delete;
  MonthListWindow& operator=(const MonthListWindow&) = delete;

  HWND parent() const { return parent_; }
  int count() const {
    return static_cast<int>(SendDlgItemMessageA(parent_, kMonthList, CB_GETCOUNT, 0, 0));
  }
  // In UTF-8, as the program's texts are.
  std::string item(int index) const {
    wchar_t buffer[128] = {};
    SendDlgItemMessageW(parent_, kMonthList, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(buffer));
    return toUtf8(buffer);
  }

 private:
  HWND parent_ = nullptr;
};

TEST(UserRegionalSettings, AreWithinTheirRooms) {
  const DateSettings date = readDateSettings();
  EXPECT_GE(date.order, 0);
  EXPECT_LE(date.order, 2);
  EXPECT_FALSE(date.separator.empty());
  EXPECT_LE(date.separator.size(), kLocaleTextRoom - 1);

  const TimeSettings time = readTimeSettings();
  EXPECT_TRUE(time.form == 0 || time.form == 1) << time.form;
  EXPECT_TRUE(time.leadingZero == 0 || time.leadingZero == 1) << time.leadingZero;
  EXPECT_FALSE(time.separator.empty());
  EXPECT_LE(time.separator.size(), kLocaleTextRoom - 1);
  EXPECT_LE(time.morning.size(), kProfileDesignatorRoom - 1);
  EXPECT_LE(time.afternoon.size(), kProfileDesignatorRoom - 1);
}

TEST(UserRegionalSettings, StartRowShowsStartDateTimeAndDescription) {
  const std::optional<Time> start = fromLocalClock(LocalTime{1995, 3, 7, 14, 5, 0, 0});
  ASSERT_TRUE(start.has_value());

  const std::string row = formatStartRow(*start, "Weekly backup");

  const std::string dateText = formatDate(readDateSettings(), 3, 7, 1995);
  const std::string timeText = formatTime(readTimeSettings(), 14, 5);
  EXPECT_EQ(row, dateText + " at " + timeText + " Weekly backup");
  if (GetUserDefaultLCID() == kEnglishUs) {
    EXPECT_EQ(row.substr(0, 6), "03/07/") << row;
  }
}

// Rows made for a whole list reuse the date of the row before; each must
// read exactly as the row made alone, across days that share a day number.
TEST(UserRegionalSettings, RowsMadeForAWholeListReadAsRowsMadeOneByOne) {
  const LocalTime starts[] = {{1995, 3, 7, 0, 0, 0, 0},   {1995, 3, 7, 14, 5, 0, 0},
                              {1995, 3, 7, 23, 59, 0, 0}, {1995, 3, 8, 0, 1, 0, 0},
                              {1995, 4, 8, 9, 30, 0, 0},  {1996, 4, 8, 9, 30, 0, 0},
                              {2026, 12, 9, 12, 0, 0, 0}, {2026, 12, 9, 12, 1, 0, 0}};
  const RowFormatter many = startRowFormatterForManyRows();
  for (const LocalTime& when : starts) {
    const std::optional<Time> start = fromLocalClock(when);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(many(*start, "Backup"), formatStartRow(*start, "Backup"))
        << when.year << "-" << when.month << "-" << when.day;
  }
}

TEST(LocaleSettings, EnglishIsMonthFirstWithTwelveHours) {
  const std::optional<DateSettings> date = readLocaleDateSettings(kEnglishUs);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(date->order, kMonthFirst);
  EXPECT_EQ(date->separator, "/");

  const std::optional<TimeSettings> time = readLocaleTimeSettings(kEnglishUs);
  ASSERT_TRUE(time.has_value());
  EXPECT_NE(time->form, 1);
  EXPECT_EQ(time->separator, ":");
  EXPECT_EQ(time->morning, "AM");
  EXPECT_EQ(time->afternoon, "PM");

  EXPECT_EQ(localeMonthName(kEnglishUs, 1), "January");
  EXPECT_EQ(localeMonthName(kEnglishUs, 12), "December");
}

TEST(LocaleSettings, GermanIsDayFirstWithFullStopsAndTwentyFourHours) {
  const std::optional<DateSettings> date = readLocaleDateSettings(kGerman);
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(date->order, kDayFirst);
  EXPECT_EQ(date->separator, ".");

  const std::optional<TimeSettings> time = readLocaleTimeSettings(kGerman);
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(time->form, 1);
  EXPECT_EQ(time->separator, ":");

  EXPECT_EQ(localeMonthName(kGerman, 3), inCodePage(CP_UTF8, L"M\u00e4rz"));
  EXPECT_EQ(localeMonthName(kGerman, 5), "Mai");
  EXPECT_EQ(localeMonthName(kGerman, 12), "Dezember");
}

TEST(LocaleSettings, NoDateSettingsForLocaleZeroAndNoNameOutsideTheYear) {
  EXPECT_FALSE(readLocaleDateSettings(0).has_value());
  EXPECT_FALSE(localeMonthName(kEnglishUs, 0).has_value());
  EXPECT_FALSE(localeMonthName(kEnglishUs, 13).has_value());
}

TEST(LocaleSettings, DesignatorsAreCutNotLost) {
  // English, German, French, Spanish, Greek, Japanese, Korean, Hindi: Latin,
  // non-Latin and double-byte designators alike.
  const LCID locales[] = {0x0409, 0x0407, 0x040C, 0x0C0A, 0x0408, 0x0411, 0x0412, 0x0439};
  for (const LCID locale : locales) {
    SCOPED_TRACE(locale);
    const std::optional<TimeSettings> time = readLocaleTimeSettings(locale);
    ASSERT_TRUE(time.has_value());
    wchar_t wide[100] = {};
    const bool hasMorning = GetLocaleInfoW(locale, LOCALE_S1159, wide, 100) > 1;
    EXPECT_EQ(!time->morning.empty(), hasMorning);
    // Rooms count characters: a designator of Greek or Korean letters takes
    // more bytes than that in UTF-8.
    EXPECT_LE(utf16Length(time->morning), kLocaleTextRoom - 1);
    EXPECT_LE(utf16Length(time->afternoon), kLocaleTextRoom - 1);
    EXPECT_LE(utf16Length(time->separator), kLocaleTextRoom - 1);
    EXPECT_EQ(time->morning, utf16Head(inCodePage(CP_UTF8, wide), kLocaleTextRoom - 1));
    for (int hour : {0, 9, 12, 23}) {
      EXPECT_LE(utf16Length(formatTime(*time, hour, 59)), kMaxDateTimeText);
    }
  }
}

TEST(GermanUserLocale, GivesGermanDatesTimesAndMonthNames) {
  // The run that is meant to be German (KV_EXPECT_GERMAN set) must not
  // pass by skipping.
  if (std::getenv("KV_EXPECT_GERMAN")) {
    ASSERT_TRUE(userLocaleIsGerman());
  }
  if (!userLocaleIsGerman()) GTEST_SKIP() << "run with LC_ALL=de_DE.UTF-8 for this test";

  const DateSettings date = readDateSettings();
  EXPECT_EQ(formatDate(date, 3, 7, 1995), date.fullYear ? "07.03.1995" : "07.03.95");

  const TimeSettings time = readTimeSettings();
  EXPECT_EQ(time.form, 1);
  EXPECT_EQ(formatTime(time, 14, 30).substr(0, 5), "14:30");
  EXPECT_EQ(formatTime(time, 0, 7).substr(0, 4), time.leadingZero == 1 ? "00:0" : "0:07");

  EXPECT_EQ(monthName(3), inCodePage(CP_UTF8, L"M\u00e4rz"));
  EXPECT_EQ(monthNameOrResource(10, "ENU", thisModule()), "Oktober");
}

// What the user sees: a German month name read back from the month combo
// box, and an entry described by it in a row of a list box filled as hList
// is, both "M\u00e4rz" (once the ANSI "M\xE4rz"; never the OEM "M\x84rz").
TEST(GermanUserLocale, MonthComboAndListRowsShowMaerzInCodePage1252) {
  if (std::getenv("KV_EXPECT_GERMAN")) {
    ASSERT_TRUE(userLocaleIsGerman());
  }
  if (!userLocaleIsGerman()) GTEST_SKIP() << "run with LC_ALL=de_DE.UTF-8 for this test";
  ASSERT_EQ(GetACP(), 1252u);

  MonthListWindow window;
  fillMonthComboBox(window.parent(), kMonthList, "ENU");
  ASSERT_EQ(window.count(), 12);
  EXPECT_EQ(window.item(2), inCodePage(CP_UTF8, L"M\u00e4rz"));

  const HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_NOTIFY, 0, 0, 300, 200,
                                    window.parent(), nullptr, thisModule(), nullptr);
  ASSERT_NE(list, nullptr);
  ListBoxList rows(list);
  ScheduleStore store(rows, formatStartRow);
  const std::optional<Time> start = fromLocalClock(LocalTime{1995, 3, 7, 14, 5, 0, 0});
  ASSERT_TRUE(start.has_value());
  ScheduleEntry entry;
  entry.start = *start;
  entry.end = *start;
  entry.commandLine = "BERICHT.EXE";
  entry.description = "Bericht " + window.item(2);
  store.fileEntry(entry);

  wchar_t row[256] = {};
  ASSERT_GT(SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row)), 0);
  const std::string shown = toUtf8(row);
  ASSERT_GE(shown.size(), 14u) << shown;
  EXPECT_EQ(shown.substr(0, 6), "07.03.") << shown;
  EXPECT_EQ(shown.substr(shown.size() - 14), " Bericht M\xC3\xA4rz") << shown;
}

TEST(ResourceMonthNames, FollowTheLanguageCode) {
  const struct {
    int month;
    const char* code;
    const wchar_t* name;
  } cases[] = {
      {1, "ENU", L"January"},   {12, "enu", L"December"}, {1, "deu", L"Januar"},
      {3, "deu", L"M\u00e4rz"}, {12, "deu", L"Dezember"}, {3, "DEU", L"March"},
      {3, "xyz", L"March"},     {8, "fra", L"Ao\u00fbt"}, {5, "sve", L"Maj"},
      {12, "hun", L"December"}, {1, "esp", L"Enero"},     {10, "nld", L"Oktober"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + std::to_string(c.month));
    EXPECT_EQ(resourceMonthName(c.month, c.code, thisModule()), inCodePage(CP_UTF8, c.name));
  }
  EXPECT_EQ(resourceMonthName(13, "ENU", thisModule()), "");
}

TEST(MonthList, HoldsTheTwelveMonthsJanuaryFirst) {
  MonthListWindow window;
  fillMonthComboBox(window.parent(), kMonthList, "deu");

  ASSERT_EQ(window.count(), 12);
  for (int month = 1; month <= 12; ++month) {
    SCOPED_TRACE(month);
    const std::string item = window.item(month - 1);
    EXPECT_FALSE(item.empty());
    const std::optional<std::string> localeName = monthName(month);
    EXPECT_EQ(item, localeName ? *localeName : resourceMonthName(month, "deu", thisModule()));
  }
  if (GetUserDefaultLCID() == kEnglishUs) {
    EXPECT_EQ(window.item(0), "January");
    EXPECT_EQ(window.item(11), "December");
  }
}

struct ProfileRound {
  ScopedIntlValues::Values values;
  DateSettings date;
  TimeSettings time;
};

TEST(ProfileSettings, ReadTheIntlSectionWithinTheirRooms) {
  const ProfileRound rounds[] = {
      {{{"iDate", "2"},
        {"sDate", "-"},
        {"sShortDate", "yyyy-MM-dd"},
        {"iTime", "1"},
        {"sTime", "."},
        {"itlzero", "0"},
        {"s1159", ""},
        {"s2359", ""}},
       DateSettings{2, "-", true},
       TimeSettings{1, ".", 0, "", ""}},
      {{{"iDate", "1"},
        {"sDate", "-|-|-|"},
        {"sShortDate", "dd-MM-yy"},
        {"iTime", "0"},
        {"sTime", "::::::"},
        {"itlzero", "1"},
        {"s1159", "morning"},
        {"s2359", "afternoons"}},
       DateSettings{1, "-|-|", false},
       TimeSettings{0, "::::", 1, "morning", "afternoon"}},
  };
  const char* keys[] = {"iDate", "sDate",   "sShortDate", "iTime",
                        "sTime", "itlzero", "s1159",      "s2359"};
  std::vector<std::optional<std::string>> before;
  for (const char* key : keys) before.push_back(ScopedIntlValues::currentValue(key));

  for (const ProfileRound& round : rounds) {
    DateSettings date;
    TimeSettings time;
    {
      // Kept as short as it can be: the section is shared with the locale.
      const ScopedIntlValues set(round.values);
      date = readProfileDateSettings();
      time = readProfileTimeSettings();
    }
    SCOPED_TRACE(round.values[1].second);
    EXPECT_EQ(date.order, round.date.order);
    EXPECT_EQ(date.separator, round.date.separator);
    EXPECT_EQ(date.fullYear, round.date.fullYear);
    EXPECT_EQ(time.form, round.time.form);
    EXPECT_EQ(time.separator, round.time.separator);
    EXPECT_EQ(time.leadingZero, round.time.leadingZero);
    EXPECT_EQ(time.morning, round.time.morning);
    EXPECT_EQ(time.afternoon, round.time.afternoon);
  }

  for (std::size_t i = 0; i < std::size(keys); ++i) {
    EXPECT_EQ(ScopedIntlValues::currentValue(keys[i]), before[i]) << keys[i] << " not restored";
  }
}

}  // namespace
}  // namespace kv
