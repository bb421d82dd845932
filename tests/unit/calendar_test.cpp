#include "engine/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <thread>

#include "time_zone.h"

namespace {

using kv::LocalTime;
using kv::Time;

LocalTime clock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  LocalTime f;
  f.year = year;
  f.month = month;
  f.day = day;
  f.hour = hour;
  f.minute = minute;
  f.second = second;
  return f;
}

// The current time read at a given point of a second, against the system
// clock read on both sides of it; retried when the two reads straddle a
// second boundary or wander from the point.
TEST(CalendarTest, CurrentTimeRoundsHalfASecondAndMoreUp) {
  using namespace std::chrono;
  struct Case {
    milliseconds into;
    Time added;
  } const cases[] = {{milliseconds(150), 0},
                     {milliseconds(450), 0},
                     {milliseconds(650), 1},
                     {milliseconds(850), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.into.count());
    bool measured = false;
    for (int attempt = 0; attempt < 5 && !measured; ++attempt) {
      const auto fraction = [](system_clock::time_point t) {
        return duration_cast<milliseconds>(t.time_since_epoch() % seconds(1));
      };
      std::this_thread::sleep_for((c.into - fraction(system_clock::now()) + seconds(1)) %
                                  seconds(1));
      const auto before = system_clock::now();
      const Time now = kv::currentTime();
      const auto after = system_clock::now();
      const auto second = duration_cast<seconds>(before.time_since_epoch());
      if (second != duration_cast<seconds>(after.time_since_epoch()) ||
          fraction(before) < c.into - milliseconds(40) ||
          fraction(after) > c.into + milliseconds(40)) {
        continue;
      }
      measured = true;
      EXPECT_EQ(now, static_cast<Time>(second.count()) + c.added);
    }
    EXPECT_TRUE(measured);
  }
}

TEST(CalendarTest, DaysInMonthKnowsLeapYears) {
  struct Case {
    int year, month, days;
  } const cases[] = {
      {2023, 1, 31}, {2023, 2, 28}, {2024, 2, 29},  {1900, 2, 28}, {2000, 2, 29},
      {2100, 2, 28}, {2023, 4, 30}, {2023, 6, 30},  {2023, 9, 30}, {2023, 11, 30},
      {2023, 7, 31}, {2023, 8, 31}, {2023, 12, 31}, {2023, 0, 0},  {2023, 13, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::daysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
  }
}

TEST(CalendarTest, DayNumberAndWeekdayOfKnownDates) {
  struct Case {
    LocalTime date;
    int dayNumber;
    int weekday;
  } const cases[] = {
      {clock(1970, 1, 1), 0, 4},       // Thursday
      {clock(2000, 3, 1), 11017, 3},   // Wednesday, after a leap day of a 400-year
      {clock(2024, 2, 29), 19782, 4},  // Thursday
      {clock(2024, 3, 31), 19813, 0},  // Sunday
      {clock(2106, 2, 7), 49710, 0},   // the last day of the 32-bit range
      {clock(1969, 12, 31), -1, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kv::dayNumber(c.date), c.dayNumber) << c.date.year << "-" << c.date.month;
    EXPECT_EQ(kv::addDays(clock(1970, 1, 1), c.dayNumber).weekday, c.weekday);
  }
}

TEST(CalendarTest, AddDaysWalksTheCalendarAndKeepsTheClock) {
  const LocalTime start = kv::addDays(clock(2023, 12, 30, 9, 15, 7), 0);  // sets the weekday
  int previous = kv::dayNumber(start);
  LocalTime day = start;
  for (int i = 1; i <= 800; ++i) {
    const LocalTime next = kv::addDays(start, i);
    ASSERT_EQ(kv::dayNumber(next), previous + 1) << i;
    ASSERT_GE(next.day, 1);
    ASSERT_LE(next.day, kv::daysInMonth(next.year, next.month));
    // A new month starts on day 1, otherwise the day goes up by one.
    ASSERT_TRUE(next.day == day.day + 1 ||
                (next.day == 1 && day.day == kv::daysInMonth(day.year, day.month)));
    ASSERT_EQ(next.weekday, (day.weekday + 1) % 7);
    ASSERT_EQ(next.hour, 9);
    ASSERT_EQ(next.minute, 15);
    ASSERT_EQ(next.second, 7);
    previous = kv::dayNumber(next);
    day = next;
  }
  const LocalTime back = kv::addDays(clock(2024, 3, 1), -1);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 29);
}

TEST(CalendarTest, ConvertsFixedInstantsInUtc) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EXPECT_EQ(kv::fromLocalClock(clock(1970, 1, 1)), Time{0});
  EXPECT_EQ(kv::fromLocalClock(clock(2024, 1, 15, 12, 0, 30)), Time{1705320030});
  EXPECT_EQ(kv::fromLocalClock(clock(2106, 2, 7, 6, 28, 15)), Time{4294967295u});
  const LocalTime last = kv::toLocalTime(4294967295u);
  EXPECT_EQ(last.year, 2106);
  EXPECT_EQ(last.hour, 6);
  EXPECT_EQ(last.second, 15);
  EXPECT_EQ(last.weekday, 0);
}

TEST(CalendarTest, RefusesTimesOutsideTheRangeAndFieldsOutOfRange) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EXPECT_EQ(kv::fromLocalClock(clock(2106, 2, 7, 6, 28, 16)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(1969, 12, 31, 23, 59, 59)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(2023, 2, 29)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(2023, 4, 31)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(2023, 4, 30, 24)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(2023, 13, 1)), std::nullopt);
  EXPECT_EQ(kv::fromLocalTimeNormalised(clock(2106, 3, 1)), std::nullopt);
}

TEST(CalendarTest, NormalisedFieldsRollOver) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EXPECT_EQ(kv::fromLocalTimeNormalised(clock(2023, 4, 31, 8)),
            kv::fromLocalClock(clock(2023, 5, 1, 8)));
  EXPECT_EQ(kv::fromLocalTimeNormalised(clock(2023, 12, 31, 23, 59, 60)),
            kv::fromLocalClock(clock(2024, 1, 1)));
}

TEST(CalendarTest, BeforeTheEpochInTheZoneIsOutOfRangeNotMovedOn) {
  // 00:30 on 1 January 1970 in Berlin is before 0; a naive "one hour later"
  // would give 1800.
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  EXPECT_EQ(kv::fromLocalClock(clock(1970, 1, 1, 0, 30)), std::nullopt);
  EXPECT_EQ(kv::fromLocalClock(clock(1970, 1, 1, 1, 0)), Time{0});
}

struct ChangeCase {
  const char* zone;
  LocalTime asked;
  Time expected;
  int shownHour;  // the local hour the result shows
};

void PrintTo(const ChangeCase& c, std::ostream* out) {
  *out << c.zone << " " << c.asked.year << "-" << c.asked.month << "-" << c.asked.day << " "
       << c.asked.hour << ":" << c.asked.minute;
}

class DaylightSavingClockTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(DaylightSavingClockTest, LandsOnOneDefiniteInstant) {
  const ChangeCase& c = GetParam();
  KV_IN_TIME_ZONE(zone, c.zone);
  EXPECT_EQ(kv::fromLocalClock(c.asked), c.expected);
  EXPECT_EQ(kv::toLocalTime(c.expected).hour, c.shownHour);
}

INSTANTIATE_TEST_SUITE_P(
    SpringGapAndAutumnRepeat, DaylightSavingClockTest,
    ::testing::Values(
        // Spring gap: the clock time does not exist and moves one hour on.
        ChangeCase{"Europe/Berlin", clock(2024, 3, 31, 2, 30), 1711848600u, 3},
        ChangeCase{"America/New_York", clock(2024, 3, 10, 2, 30), 1710055800u, 3},
        // Autumn: the hour shown twice starts at its first showing.
        ChangeCase{"Europe/Berlin", clock(2024, 10, 27, 2, 30), 1729989000u, 2},
        ChangeCase{"America/New_York", clock(2024, 11, 3, 1, 30), 1730611800u, 1}));

TEST(CalendarTest, EveryInstantOfAYearRoundTripsInBerlin) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  const Time first = *kv::fromLocalClock(clock(2024, 1, 1));
  const Time last = *kv::fromLocalClock(clock(2025, 1, 1));
  // An odd step lands on every minute and hour sooner or later.
  for (Time t = first; t < last; t += 3607) {
    const LocalTime shown = kv::toLocalTime(t);
    const std::optional<Time> back = kv::fromLocalClock(shown);
    ASSERT_TRUE(back.has_value()) << t;
    if (*back != t) {
      // Only the second showing of the repeated autumn hour maps back, to
      // the first one.
      ASSERT_EQ(*back, t - 3600) << t;
      ASSERT_EQ(kv::toLocalTime(*back).hour, shown.hour) << t;
    }
  }
}

}  // namespace
