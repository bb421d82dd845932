#include "locale/date_time_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

// Date settings as the "intl" profile section holds them.
struct ProfileDateCase {
  int iDate;
  const char* sDate;
  const char* sShortDate;
  int year, month, day;
  const char* expected;
};

TEST(DateText, FollowsOrderSeparatorAndYearPattern) {
  const ProfileDateCase cases[] = {
      {0, "/", "M/d/yy", 1995, 3, 7, "03/07/95"},
      {1, ".", "dd.MM.yyyy", 1995, 3, 7, "07.03.1995"},
      {2, "-", "yy-MM-dd", 1995, 3, 7, "95-03-07"},
      {0, "/", "M/d/yy", 2005, 3, 7, "03/07/5"},
      {0, "/", "M/d/yy", 2000, 1, 1, "01/01/0"},
      {0, "/", "M/d/y", 1995, 3, 7, "03/07/1995"},
      {0, "/", "M/D/YY", 1995, 3, 7, "03/07/95"},  // the defaults of a section without values
      {2, "/", "yyyy/MM/dd", 2024, 12, 31, "2024/12/31"},
      {1, "", "ddMMyy", 1999, 11, 30, "301199"},
      {1, "--", "dd--MM--yyyy", 1970, 1, 2, "02--01--1970"},
  };
  for (const ProfileDateCase& c : cases) {
    SCOPED_TRACE(std::string(c.sShortDate) + " order " + std::to_string(c.iDate));
    const DateSettings settings{c.iDate, c.sDate, shortDatePatternShowsFullYear(c.sShortDate)};
    EXPECT_EQ(formatDate(settings, c.month, c.day, c.year), c.expected);
  }
}

TEST(DateText, UnknownOrderShowsMonthFirst) {
  for (int order : {3, 9, -1}) {
    SCOPED_TRACE(order);
    EXPECT_EQ(formatDate(DateSettings{order, "/", false}, 3, 7, 1995), "03/07/95");
    EXPECT_EQ(formatDate(DateSettings{order, ".", true}, 12, 25, 2010), "12.25.2010");
  }
}

// A date without its year keeps the order of its day and month, and its
// separator.
TEST(DateText, WithoutItsYearKeepsTheOrderOfDayAndMonth) {
  const struct {
    int order;
    const char* separator;
    const char* expected;
  } cases[] = {{kMonthFirst, "/", "12/09"},
               {kDayFirst, ".", "09.12"},
               {kYearFirst, "-", "12-09"},
               {7, "/", "12/09"}};
  for (const auto& c : cases) {
    EXPECT_EQ(formatDayAndMonth(DateSettings{c.order, c.separator, true}, 12, 9), c.expected)
        << c.order;
  }
}

TEST(ShortDatePattern, YearLettersDecideTheYearForm) {
  const struct {
    const char* pattern;
    bool fullYear;
  } cases[] = {
      {"M/d/yy", false}, {"dd.MM.yyyy", true}, {"yy-MM-dd", false},  {"M/d/y", true},
      {"y/M/d", false},  {"M/D/YY", false},    {"YYYY-MM-DD", true}, {"yyy", true},
      {"yM", false},     {"yYy", true},        {"Y", true},          {"dd.MM", true},
      {"", true},        {"d/M/yY", false},    {"yy", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shortDatePatternShowsFullYear(c.pattern), c.fullYear) << '"' << c.pattern << '"';
  }
}

struct TimeCase {
  int hour, minute;
  const char* expected;
};

void expectTimes(const TimeSettings& settings, std::initializer_list<TimeCase> cases) {
  for (const TimeCase& c : cases) {
    EXPECT_EQ(formatTime(settings, c.hour, c.minute), c.expected)
        << c.hour << ':' << c.minute << " form " << settings.form << " leading zero "
        << settings.leadingZero;
  }
}

TEST(TimeText, TwelveHourFormWithProfileDefaults) {
  expectTimes(TimeSettings{}, {
                                  {9, 5, "09:05am"},
                                  {10, 30, " 10:30am"},
                                  {0, 15, " 12:15am"},
                                  {11, 59, " 11:59am"},
                                  {12, 0, "12:00pm"},
                                  {13, 45, "01:45pm"},
                                  {22, 10, "10:10pm"},
                                  {23, 59, "11:59pm"},
                              });
}

TEST(TimeText, TwelveHourFormWithoutLeadingZero) {
  TimeSettings settings;
  settings.leadingZero = 0;
  expectTimes(settings, {
                            {9, 5, " 9:05am"},
                            {0, 0, " 12:00am"},
                            {12, 30, "12:30pm"},
                            {13, 45, "1:45pm"},
                        });
}

TEST(TimeText, TwentyFourHourFormKeepsDesignators) {
  TimeSettings settings{1, ":", 1, "AM", "PM"};
  expectTimes(settings, {
                            {0, 0, "00:00AM"},
                            {9, 5, "09:05AM"},
                            {12, 0, "12:00PM"},
                            {14, 30, "14:30PM"},
                        });
  settings.afternoon = "";
  expectTimes(settings, {{14, 30, "14:30"}});
  settings = TimeSettings{1, ".", 0, "", ""};
  expectTimes(settings, {{9, 5, "9.05"}, {0, 7, "0.07"}, {23, 0, "23.00"}});
}

TEST(TimeText, UnknownFormCountsAsTwelveHours) {
  TimeSettings settings;
  settings.form = 2;
  expectTimes(settings, {{13, 45, "01:45pm"}, {10, 0, " 10:00am"}});
}

TEST(DateTimeText, LongestSettingsFitUncut) {
  // The longest values the settings readers let through.
  const std::string separator(kLocaleTextRoom - 1, '#');
  const std::string designator(kProfileDesignatorRoom - 1, 'd');
  for (int order = 0; order <= 2; ++order) {
    const std::string date = formatDate(DateSettings{order, separator, true}, 12, 31, 2106);
    EXPECT_EQ(date.size(), 16u) << date;
  }
  for (int form = 0; form <= 1; ++form) {
    for (int hour = 0; hour < 24; ++hour) {
      const std::string time =
          formatTime(TimeSettings{form, separator, 0, designator, designator}, hour, 59);
      EXPECT_LE(time.size(), kMaxDateTimeText) << time;
      EXPECT_EQ(time.substr(time.size() - designator.size()), designator) << time;
    }
  }
}

TEST(DateTimeText, OverlongSettingsAreCutToTheLimit) {
  const std::string separator(30, '-');
  const std::string designator(40, 'x');
  for (int order = 0; order <= 3; ++order) {
    const std::string date = formatDate(DateSettings{order, separator, true}, 3, 7, 1995);
    EXPECT_EQ(date.size(), kMaxDateTimeText);
  }
  EXPECT_EQ(formatDate(DateSettings{1, separator, true}, 3, 7, 1995),
            "07" + separator.substr(0, 17));

  const std::string time = formatTime(TimeSettings{0, ":", 1, designator, designator}, 10, 30);
  EXPECT_EQ(time, " 10:30" + designator.substr(0, 13));
  EXPECT_EQ(formatTime(TimeSettings{1, separator, 1, "", ""}, 20, 0).size(), kMaxDateTimeText);
}

TEST(LanguageBase, FirstTwoLowerCaseLettersPickTheLanguage) {
  const struct {
    const char* code;
    int base;
  } cases[] = {
      {"en", 100},  {"es", 200},  {"de", 300},  {"fr", 400},  {"fi", 500},   {"nl", 600},
      {"da", 700},  {"sv", 800},  {"sk", 900},  {"pt", 1000}, {"no", 1100},  {"it", 1200},
      {"is", 1300}, {"hu", 1400}, {"deu", 300}, {"esp", 200}, {"hun", 1400}, {"DEU", 100},
      {"De", 100},  {"ENU", 100}, {"xyz", 100}, {"d", 100},   {"", 100},     {"ed", 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(languageBase(c.code), c.base) << '"' << c.code << '"';
  }
}

TEST(LanguageBase, MonthNamesSpanEntries10101To11412) {
  EXPECT_EQ(monthNameResourceId(1, "ENU"), 10101);
  EXPECT_EQ(monthNameResourceId(12, "enu"), 10112);
  EXPECT_EQ(monthNameResourceId(1, "deu"), 10301);
  EXPECT_EQ(monthNameResourceId(12, "deu"), 10312);
  EXPECT_EQ(monthNameResourceId(3, "xyz"), 10103);
  EXPECT_EQ(monthNameResourceId(12, "hu"), 11412);
}

TEST(DisplayRow, JoinsDateTimeAndDescription) {
  EXPECT_EQ(displayRow("03/07/95", " 10:30am", "Backup"), "03/07/95 at  10:30am Backup");
  EXPECT_EQ(displayRow("07.03.1995", "14:30", "C:\\TOOLS\\SYNC.EXE /q"),
            "07.03.1995 at 14:30 C:\\TOOLS\\SYNC.EXE /q");
  EXPECT_EQ(displayRow("", "", ""), " at  ");
}

TEST(FitToRoom, KeepsRoomLessOneBytesUpToAZero) {
  using namespace std::string_literals;
  EXPECT_EQ(fitToRoom("abcdefgh", 5), "abcd");
  EXPECT_EQ(fitToRoom("abcd", 5), "abcd");
  EXPECT_EQ(fitToRoom("ab", 5), "ab");
  EXPECT_EQ(fitToRoom("ab\0cd"s, 5), "ab");
  EXPECT_EQ(fitToRoom("ab", 1), "");
  EXPECT_EQ(fitToRoom("ab", 0), "");
}

}  // namespace
}  // namespace kv
