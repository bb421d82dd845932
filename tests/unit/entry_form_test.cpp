#include "editor/entry_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "editor/entry_edit.h"
#include "editor/entry_filing.h"
#include "schedule/schedule_file.h"
#include "clock_text.h"
#include "fake_visible_list.h"
#include "time_zone.h"

namespace {

using kv::ArrowField;
using kv::EntryForm;
using kv::LocalTime;
using kv::OkDecision;
using kv::Refusal;

using kvtest::at;
using kvtest::shown;

// The fields of one side as "month day year hour:minute am|pm", month from 0.
std::string shown(const kv::DateTimeFields& f) {
  return std::to_string(f.monthIndex) + " " + f.day + " " + f.year + " " + f.hour + ":" + f.minute +
         (f.pm ? " pm" : " am");
}
kv::DateTimeFields fields(const char* text) {
  char day[16] = "", year[16] = "", hour[8] = "", minute[8] = "", half[3] = "";
  int month = 0;
  std::sscanf(text, "%d %15s %15s %7[^:]:%7s %2s", &month, day, year, hour, minute, half);
  return {month, day, year, hour, minute, half[0] == 'p'};
}

constexpr int kJanuary = 0, kFebruary = 1, kApril = 3, kDecember = 11;
// The dialog's lists in their order, as a user sees them: the frequencies
// with the codes a stored file holds, and the run modes.
constexpr std::string_view kStoredCodes = "OMFHDKWTE";
constexpr int kOnce = 0, kDaily = 4, kWeekdays = 5, kMonthEnd = 8;
constexpr int kNormal = 0, kMinimized = 1, kMaximized = 2;

// --- Arrow pairs -------------------------------------------------------------

std::string& fieldText(EntryForm& form, ArrowField field) {
  using A = ArrowField;
  const bool end =
      field == A::EndDay || field == A::EndYear || field == A::EndHour || field == A::EndMinute;
  kv::DateTimeFields& side = end ? form.end : form.start;
  if (field == A::StartDay || field == A::EndDay) return side.day;
  if (field == A::StartYear || field == A::EndYear) return side.year;
  if (field == A::StartHour || field == A::EndHour) return side.hour;
  return side.minute;
}

TEST(EntryFormTest, ArrowsStepWithinBoundsAndBeepAtThem) {
  using A = ArrowField;
  struct Case {
    A field;
    int monthIndex;    // of both sides
    const char* year;  // of both sides (the start day's bound reads it)
    const char* before;
    int step;
    const char* after;
    bool beep;
  };
  const Case cases[] = {
      // The start day's upper arrow knows the start month and year.
      {A::StartDay, kApril, "2024", "30", 1, "30", true},
      {A::StartDay, kApril, "2024", "31", 1, "30", true},
      {A::StartDay, kApril, "2024", "31", -1, "30", false},
      {A::StartDay, kFebruary, "2000", "28", 1, "29", false},
      {A::StartDay, kFebruary, "2000", "29", 1, "29", true},
      {A::StartDay, kFebruary, "1999", "28", 1, "28", true},
      {A::StartDay, kFebruary, "1900", "28", 1, "29", false},
      {A::StartDay, kFebruary, "year", "29", 1, "29", true},
      {A::StartDay, kJanuary, "2024", "30", 1, "31", false},
      {A::StartDay, kJanuary, "2024", "1", -1, "1", true},
      {A::StartDay, kJanuary, "2024", "", -1, "1", true},
      // The end day runs to 31 whatever the end month.
      {A::EndDay, kFebruary, "1999", "30", 1, "31", false},
      {A::EndDay, kFebruary, "1999", "31", 1, "31", true},
      {A::StartYear, kDecember, "2035", "2035", 1, "2035", true},
      {A::StartYear, kDecember, "", "", 1, "1990", true},
      {A::EndYear, kDecember, "1990", "1990", -1, "1990", true},
      {A::EndYear, kDecember, "2001", "2001", 1, "2002", false},
      // No wrap-around: 12 stays 12, 59 stays 59.
      {A::StartHour, kJanuary, "2024", "12", 1, "12", true},
      {A::StartHour, kJanuary, "2024", "1", -1, "1", true},
      {A::EndHour, kJanuary, "2024", "", -1, "1", true},
      {A::EndHour, kJanuary, "2024", "11", 1, "12", false},
      {A::StartMinute, kJanuary, "2024", "59", 1, "59", true},
      {A::StartMinute, kJanuary, "2024", "00", -1, "00", true},
      {A::StartMinute, kJanuary, "2024", "7", 1, "08", false},
      {A::EndMinute, kJanuary, "2024", " -5", 1, "00", true},
      {A::EndMinute, kJanuary, "2024", "10", -1, "09", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "field " << static_cast<int>(c.field) << " month " << c.monthIndex << " year '"
                 << c.year << "' '" << c.before << "' step " << c.step);
    EntryForm form;
    for (kv::DateTimeFields* side : {&form.start, &form.end}) {
      side->monthIndex = c.monthIndex;
      side->year = c.year;
    }
    fieldText(form, c.field) = c.before;
    EXPECT_EQ(kv::stepField(form, c.field, c.step), c.beep);
    EXPECT_EQ(fieldText(form, c.field), c.after);
  }
}

TEST(EntryFormTest, FieldNumbersReadTheirLeadingDigits) {
  struct Case {
    const char* text;
    bool allowSign;
    int value;
  };
  for (const Case& c :
       {Case{"42", false, 42}, Case{"  7x", false, 7}, Case{"", false, 0}, Case{"abc", true, 0},
        Case{"-3", true, -3}, Case{"-3", false, 0}, Case{"12345678901234", false, 999999999}}) {
    EXPECT_EQ(kv::fieldNumber(c.text, c.allowSign), c.value) << c.text;
  }
}

// --- The 12-hour clock and filling ------------------------------------------

TEST(EntryFormTest, TwelveHourClockBothWays) {
  for (int hour24 = 0; hour24 < 24; ++hour24) {
    const kv::TwelveHourClock clock = kv::toTwelveHour(hour24);
    EXPECT_EQ(clock.hour, hour24 % 12 == 0 ? 12 : hour24 % 12) << hour24;
    EXPECT_EQ(clock.pm, hour24 >= 12) << hour24;
    EXPECT_EQ(kv::fromTwelveHour(clock.hour, clock.pm), hour24);
  }
  EXPECT_EQ(kv::fromTwelveHour(0, true), 12);  // a typed 0 with pm is noon
}

TEST(EntryFormTest, AddShowsTheCurrentMinuteAndEndsIn2035) {
  struct Case {
    int hour, minute;
    const char* start;
  };
  for (const Case& c : {Case{0, 30, "6 4 2024 12:30 am"}, Case{12, 5, "6 4 2024 12:05 pm"},
                        Case{23, 59, "6 4 2024 11:59 pm"}}) {
    const EntryForm form = kv::formForAdd(LocalTime{2024, 7, 4, c.hour, c.minute, 33, 4});
    EXPECT_EQ(shown(form.start), c.start);
    EXPECT_EQ(shown(form.end), "11 31 2035 1:00 pm");
    EXPECT_EQ(form.frequencyIndex, kOnce);
    EXPECT_EQ(form.runModeIndex, kNormal);
    EXPECT_FALSE(kv::enablingOf(form).ok);
    EXPECT_FALSE(kv::enablingOf(form).endingGroup);
  }
  const EntryForm dropped = kv::formForAdd(LocalTime{}, "C:\\DATA\\NOTES.TXT");
  EXPECT_EQ(dropped.commandLine, "C:\\DATA\\NOTES.TXT");
  EXPECT_TRUE(dropped.workingDirectory.empty());
  EXPECT_TRUE(dropped.description.empty());
  EXPECT_TRUE(kv::enablingOf(dropped).ok);
}

TEST(EntryFormTest, EditShowsTheEntryAndOpensUnknownCodesAsOnceAndNormal) {
  KV_IN_TIME_ZONE(zone, "UTC");
  kv::ScheduleEntry e;
  e.start = 820540800u + 13 * 3600 + 5 * 60;  // 1996-01-02 13:05
  e.end = 820540800u;                         // 1996-01-02 00:00
  e.frequency = 'E';
  e.showCommand = 7;
  e.commandLine = "C:\\BIN\\TOOL.EXE /q";
  e.workingDirectory = "C:\\BIN";
  e.printFlag = '1';
  e.description = "Tool";
  const EntryForm form = kv::formForEdit(e);
  EXPECT_EQ(shown(form.start), "0 2 1996 1:05 pm");
  EXPECT_EQ(shown(form.end), "0 2 1996 12:00 am");
  EXPECT_EQ(form.frequencyIndex, kMonthEnd);
  EXPECT_EQ(form.runModeIndex, kMinimized);
  EXPECT_TRUE(form.background);
  EXPECT_TRUE(form.printFile);
  EXPECT_EQ(form.commandLine + "|" + form.workingDirectory + "|" + form.description,
            e.commandLine + "|" + e.workingDirectory + "|" + e.description);

  e.frequency = 'X';
  e.showCommand = 5;
  const EntryForm unknown = kv::formForEdit(e);
  EXPECT_EQ(unknown.frequencyIndex, kOnce);
  EXPECT_EQ(unknown.runModeIndex, kNormal);
  EXPECT_FALSE(unknown.background);
}

// An end in the last minute of the time range (4294967295 is what a failed
// conversion stores) shows as the latest end the fields keep, second 59 of
// the minute before, so that OK files an entry whose other fields alone
// were changed.
TEST(EntryFormTest, EditOfAnEndInTheRangesLastMinuteShowsAnEndOkKeeps) {
  kv::ScheduleEntry e;
  e.start = 2000000000u;
  e.frequency = 'D';
  e.commandLine = "C:\\BIN\\TOOL.EXE";
  for (const char* zone : {"UTC", "America/New_York", "Europe/Berlin"}) {
    KV_IN_TIME_ZONE(inZone, zone);
    for (kv::Time end : {4294967295u, 4294967280u}) {
      e.end = end;
      const OkDecision d = kv::convertForm(kv::formForEdit(e), "");
      ASSERT_EQ(d.kind, OkDecision::Kind::File) << zone << " " << e.end;
      EXPECT_EQ(d.entry.end, 4294967279u) << zone;
    }
  }
}

// --- Codes and enabling ------------------------------------------------------

TEST(EntryFormTest, FrequencyAndShowCommandCodesGoBothWays) {
  for (int i = 0; i < int(kStoredCodes.size()); ++i) {
    EXPECT_EQ(kv::frequencyCode(i), kStoredCodes[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(kv::frequencyIndex(kv::frequencyCode(i)), i);
  }
  EXPECT_STREQ(kv::kFrequencyNames[kOnce], "Once");
  EXPECT_STREQ(kv::kFrequencyNames[kWeekdays], "Weekdays");
  EXPECT_STREQ(kv::kFrequencyNames[kMonthEnd], "Month End");
  EXPECT_STREQ(kv::kRunModeNames[kMaximized], "Maximized");
  // The dialog fills its lists with every name.
  for (const char* name : kv::kFrequencyNames) EXPECT_NE(name, nullptr);
  for (const char* name : kv::kRunModeNames) EXPECT_NE(name, nullptr);
  EXPECT_FALSE(kv::frequencyIndex('X').has_value());
  EXPECT_FALSE(kv::frequencyIndex('o').has_value());
  for (int outside : {-1, int(kStoredCodes.size())}) EXPECT_EQ(kv::frequencyCode(outside), 'O');

  struct Case {
    int runMode;
    bool background;
    std::uint16_t show;
  };
  for (const Case& c : {Case{0, false, 1}, Case{1, false, 2}, Case{2, false, 3}, Case{0, true, 4},
                        Case{1, true, 7}}) {
    EXPECT_EQ(kv::showCommandOf(c.runMode, c.background), c.show);
    const auto back = kv::runModeOf(c.show);
    ASSERT_TRUE(back.has_value()) << c.show;
    EXPECT_EQ(back->runModeIndex, c.runMode);
    EXPECT_EQ(back->background, c.background);
  }
  EXPECT_EQ(kv::showCommandOf(kMaximized, true), 3);
  for (int show : {0, 5, 8}) EXPECT_FALSE(kv::runModeOf(std::uint16_t(show)).has_value()) << show;
}

TEST(EntryFormTest, EnablingFollowsTheFrequencyRunModeAndCommandLine) {
  for (int i = 0; i < int(kStoredCodes.size()); ++i) {
    EntryForm form;
    form.frequencyIndex = i;
    EXPECT_EQ(kv::enablingOf(form).endingGroup, i != kOnce) << i;
    EXPECT_EQ(kv::enablingOf(form).startDay, i != kMonthEnd) << i;
  }
  // Maximized clears and disables Background; enabled again, it stays clear.
  struct Step {
    int runMode;
    bool background, backgroundAfter, enabled;
  };
  EntryForm form;
  for (const Step& s : {Step{kMaximized, true, false, false}, Step{kNormal, false, false, true},
                        Step{kMinimized, true, true, true}}) {
    form.runModeIndex = s.runMode;
    form.background = s.background;
    kv::applyBackgroundRule(form);
    EXPECT_EQ(form.background, s.backgroundAfter) << s.runMode;
    EXPECT_EQ(kv::enablingOf(form).background, s.enabled) << s.runMode;
  }
  form.commandLine = "x";
  EXPECT_TRUE(kv::enablingOf(form).ok);
}

// --- The conversion ----------------------------------------------------------

TEST(EntryFormTest, FieldsBecomeTheEntrysTimes) {
  const char* far = "11 31 2035 1:00 pm";
  struct Case {
    const char* zone;
    int frequencyIndex;
    const char *start, *end;
    Refusal refusal;
    const char* storedStart;  // when accepted
  };
  const Case cases[] = {
      // A start and an end in the same minute: 10:15:01 is before 10:15:59.
      {"UTC", kDaily, "0 5 2024 10:15 am", "0 5 2024 10:15 am", Refusal::None,
       "2024-01-05 10:15:01"},
      {"UTC", kDaily, "0 5 2024 10:16 am", "0 5 2024 10:15 am", Refusal::StartNotBeforeEnd, ""},
      // A day field's sign is no digit: "-5" is day 0, the last of December.
      {"UTC", kDaily, "11 28 2023 10:15 am", "0 -5 2024 10:15 am", Refusal::None,
       "2023-12-28 10:15:01"},
      // 12 am is midnight, 12 pm noon.
      {"UTC", kDaily, "0 5 2024 12:00 am", far, Refusal::None, "2024-01-05 00:00:01"},
      {"UTC", kDaily, "0 5 2024 12:00 pm", far, Refusal::None, "2024-01-05 12:00:01"},
      {"UTC", kDaily, "0 5 2024 11:59 pm", far, Refusal::None, "2024-01-05 23:59:01"},
      // 31 April is 1 May for every code but Month End.
      {"UTC", kDaily, "3 31 2024 9:00 am", far, Refusal::None, "2024-05-01 09:00:01"},
      {"UTC", kMonthEnd, "3 31 2024 9:00 am", far, Refusal::None, "2024-04-30 09:00:01"},
      {"UTC", kMonthEnd, "1 10 1996 8:30 am", far, Refusal::None, "1996-02-29 08:30:01"},
      {"UTC", kMonthEnd, "0 31 1996 8:30 am", far, Refusal::None, "1996-01-31 08:30:01"},
      {"UTC", kWeekdays, "0 6 2024 9:00 am", far, Refusal::None, "2024-01-08 09:00:01"},
      {"UTC", kWeekdays, "0 5 2024 9:00 am", far, Refusal::None, "2024-01-05 09:00:01"},
      // Across the spring change of the clocks the clock time stays.
      {"Europe/Berlin", kWeekdays, "2 30 2024 9:00 am", far, Refusal::None, "2024-04-01 09:00:01"},
      {"Europe/Berlin", kMonthEnd, "2 10 2024 9:00 am", far, Refusal::None, "2024-03-31 09:00:01"},
      {"America/New_York", kWeekdays, "2 9 2024 9:00 am", far, Refusal::None,
       "2024-03-11 09:00:01"},
      {"America/New_York", kMonthEnd, "2 1 2024 9:00 am", far, Refusal::None,
       "2024-03-31 09:00:01"},
      // A clock time the spring change skips starts an hour later.
      {"Europe/Berlin", kDaily, "2 31 2024 2:30 am", far, Refusal::None, "2024-03-31 03:30:01"},
      // Dates an entry cannot hold are refused; west of Greenwich the first
      // second an entry holds falls on the last day of 1969.
      {"America/New_York", kDaily, "11 31 1969 7:00 pm", far, Refusal::None, "1969-12-31 19:00:01"},
      {"UTC", kOnce, "0 1 1969 9:00 am", far, Refusal::StartOutOfRange, ""},
      {"UTC", kDaily, "0 1 2024 9:00 am", "11 31 2106 1:00 am", Refusal::EndOutOfRange, ""},
      {"UTC", kDaily, "0 1 2024 9:00 am", "0 1 1960 1:00 am", Refusal::EndOutOfRange, ""},
      {"UTC", kDaily, "0 999999999 2024 9:00 am", far, Refusal::StartOutOfRange, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zone << " frequency " << c.frequencyIndex << " start "
                                    << c.start << " end " << c.end);
    KV_IN_TIME_ZONE(zone, c.zone);
    EntryForm form;
    form.frequencyIndex = c.frequencyIndex;
    form.start = fields(c.start);
    form.end = fields(c.end);
    form.commandLine = "C:\\BIN\\TOOL.EXE";
    form.runModeIndex = kMinimized;
    form.printFile = true;
    const OkDecision d = kv::convertForm(form, "");
    EXPECT_EQ(d.refusal, c.refusal);
    if (c.refusal != Refusal::None) {
      EXPECT_EQ(d.kind, OkDecision::Kind::Refuse);
      continue;
    }
    ASSERT_EQ(d.kind, OkDecision::Kind::File);
    EXPECT_EQ(shown(d.entry.start), c.storedStart);
    EXPECT_EQ(d.entry.frequency, kv::frequencyCode(c.frequencyIndex));
    EXPECT_EQ(d.entry.showCommand, 2);
    EXPECT_EQ(d.entry.printFlag, '1');
  }
}

TEST(EntryFormTest, TextsBeyondWhatAnEntryHoldsAreRefused) {
  KV_IN_TIME_ZONE(zone, "UTC");
  EntryForm form = kv::formForAdd(LocalTime{2024, 1, 5, 9, 0, 0, 5});
  form.commandLine = std::string(200, 'c');
  form.workingDirectory = std::string(200, 'w');
  form.description = std::string(74, 'd');
  EXPECT_EQ(kv::convertForm(form, "").kind, OkDecision::Kind::File);  // 474 together
  form.description += 'd';
  EXPECT_EQ(kv::convertForm(form, "").refusal, Refusal::TextsTooLong);
  form.description = "d";
  form.commandLine = std::string(254, 'c');
  EXPECT_EQ(kv::convertForm(form, "").refusal, Refusal::TextsTooLong);
  EXPECT_STREQ(kv::refusalCaption(Refusal::TextsTooLong), "Texts Too Long");
  // Each text may be as long as an entry holds, and no longer.
  for (std::string EntryForm::*text :
       {&EntryForm::commandLine, &EntryForm::workingDirectory, &EntryForm::description}) {
    EntryForm one = kv::formForAdd(LocalTime{2024, 1, 5, 9, 0, 0, 5});
    one.commandLine = "c";
    one.workingDirectory = "w";
    one.description = "d";
    one.*text = std::string(253, 'x');
    EXPECT_EQ(kv::convertForm(one, "").kind, OkDecision::Kind::File) << one.*text;
    one.*text += 'x';
    EXPECT_EQ(kv::convertForm(one, "").refusal, Refusal::TextsTooLong);
  }
}

// --- OK: checks in order -----------------------------------------------------

bool has(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

class FakePlatform : public kv::EditorPlatform {
 public:
  std::vector<std::string> files, directories;
  bool noAssociation = false;
  std::vector<bool> answers;  // confirm answers in turn; true (OK) once they run out
  std::vector<std::string> captions, texts, fileQueries;

  bool fileExists(const std::string& path) override {
    fileQueries.push_back(path);
    return has(files, path);
  }
  // Nothing is on the search path here: a program not in `files` is missing.
  bool onSearchPath(const std::string&) override { return false; }
  bool directoryExists(const std::string& path) override { return has(directories, path); }
  bool lacksAssociation(const std::string&, const std::string&) override { return noAssociation; }
  bool confirm(const std::string& text, const char* caption) override {
    texts.push_back(text);
    captions.push_back(caption);
    return captions.size() <= answers.size() ? answers[captions.size() - 1] : true;
  }
};

class OkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = kv::formForAdd(LocalTime{2024, 1, 5, 9, 0, 0, 5});
    form.commandLine = "D:\\TOOLS\\EDIT.EXE";
    platform.files = {"D:\\TOOLS\\EDIT.EXE"};
    platform.directories = {"D:\\TOOLS"};
  }
  OkDecision ok(kv::EditorMode mode, bool associationWarning = true) {
    return kv::decideOk(form, mode, platform, programDir, associationWarning, now);
  }

  EntryForm form;
  FakePlatform platform;
  std::string programDir;
  kv::Time now = 0;  // before every start the tests give, unless they say
};

// A repeating entry filed with a start that has passed waits for its first
// occurrence after now; a one-time one keeps its start, to run at once. One
// whose end comes before that occurrence would never start.
TEST_F(OkTest, ARepeatingStartThatHasPassedMovesToItsNextOccurrence) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  form.start = fields("0 5 2024 9:00 am");  // a Friday
  form.end = fields("11 31 2035 1:00 pm");
  struct Case {
    int frequency;
    const char *now, *filed;
  } const cases[] = {
      {kDaily, "2024-01-05 10:00:00", "2024-01-06 09:00:01"},
      {kDaily, "2024-01-05 08:00:00", "2024-01-05 09:00:01"},
      {kWeekdays, "2024-01-05 10:00:00", "2024-01-08 09:00:01"},
      {kOnce, "2024-01-05 10:00:00", "2024-01-05 09:00:01"},
  };
  for (const Case& c : cases) {
    form.frequencyIndex = c.frequency;
    now = at(c.now);
    const OkDecision d = ok(kv::EditorMode::Add);
    ASSERT_EQ(d.kind, OkDecision::Kind::File) << c.frequency << " at " << c.now;
    EXPECT_EQ(shown(d.entry.start), c.filed) << c.frequency << " at " << c.now;
  }
  form.frequencyIndex = kDaily;
  form.end = fields("0 5 2024 11:00 pm");
  now = at("2024-01-05 10:00:00");
  EXPECT_EQ(ok(kv::EditorMode::Add).refusal, Refusal::NeverStarts);
}

TEST_F(OkTest, AddTakesTheProgramDirectoryUnlessOneIsGivenAndDefaultsTheDescription) {
  OkDecision d = ok(kv::EditorMode::Add);
  ASSERT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_TRUE(platform.captions.empty());
  EXPECT_EQ(d.entry.workingDirectory, "D:\\TOOLS");
  EXPECT_TRUE(d.takesProgramDir);
  EXPECT_EQ(d.entry.description, "EDIT");
  EXPECT_EQ(d.entry.showCommand, 1);
  EXPECT_EQ(d.entry.printFlag, '0');

  // A remembered directory is kept when the user gave one.
  programDir = "C:\\FIRST";
  form.workingDirectory = "D:\\TOOLS";
  d = ok(kv::EditorMode::Add);
  EXPECT_EQ(d.entry.workingDirectory, "D:\\TOOLS");
  EXPECT_FALSE(d.takesProgramDir);
  EXPECT_EQ(programDir, "C:\\FIRST");
  form.workingDirectory.clear();
  d = ok(kv::EditorMode::Edit);
  EXPECT_EQ(d.entry.workingDirectory, "C:\\FIRST");
  EXPECT_TRUE(d.takesProgramDir);
}

TEST_F(OkTest, AnEmptyCommandLineFilesNothingAndAsksNothing) {
  form.commandLine.clear();
  EXPECT_EQ(ok(kv::EditorMode::Add).kind, OkDecision::Kind::Stay);
  EXPECT_TRUE(platform.fileQueries.empty());
  EXPECT_TRUE(programDir.empty());
}

TEST_F(OkTest, OnceGetsTheFixedEndWhateverTheFieldsShowed) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  form.end = fields("0 3 1990 7:45 am");
  const OkDecision d = ok(kv::EditorMode::Edit);
  ASSERT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_TRUE(d.endFixed);
  EXPECT_EQ(shown(d.entry.end), "2035-12-31 13:00:59");
  EXPECT_EQ(form.end.year, "2035");
  EXPECT_TRUE(form.end.pm);
}

TEST_F(OkTest, WarningsComeInTheModesOrderWithTheirTextsAndCancelStays) {
  form.commandLine = "C:\\GONE\\OLD.EXE /x";
  form.workingDirectory = "C:\\NOWHERE";
  platform.noAssociation = true;
  OkDecision d = ok(kv::EditorMode::Add);
  EXPECT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_EQ(
      platform.captions,
      (std::vector<std::string>{"Invalid Path Warning", "Invalid Path Warning", "No Association"}));
  EXPECT_EQ(platform.texts,
            (std::vector<std::string>{
                "The path C:\\GONE\\OLD.EXE specified on the command line is invalid.\nIf you "
                "know this file is in your path you may disregard this warning",
                "The working directory C:\\NOWHERE is invalid.\n",
                "There is no association for C:\\GONE\\OLD.EXE"}));
  EXPECT_EQ(d.entry.description, "C:\\GONE\\OLD.EXE /x");

  // Edit checks neither the working directory nor remembers a directory.
  platform.captions.clear();
  programDir.clear();
  d = ok(kv::EditorMode::Edit);
  EXPECT_EQ(platform.captions,
            (std::vector<std::string>{"Invalid Path Warning", "No Association"}));
  EXPECT_TRUE(programDir.empty());

  // Without the setting there is no association box.
  platform.captions.clear();
  d = ok(kv::EditorMode::Edit, false);
  EXPECT_EQ(platform.captions, std::vector<std::string>{"Invalid Path Warning"});

  // Cancel on any warning stays and files nothing.
  for (std::size_t cancelled = 0; cancelled < 3; ++cancelled) {
    platform.captions.clear();
    platform.answers.assign(3, true);
    platform.answers[cancelled] = false;
    const EntryForm before = form;
    EXPECT_EQ(ok(kv::EditorMode::Add).kind, OkDecision::Kind::Stay) << cancelled;
    EXPECT_EQ(platform.captions.size(), cancelled + 1);
    EXPECT_EQ(form.end.year, before.end.year);
  }
}

TEST_F(OkTest, TheProgramIsLookedForInTheWorkingDirectory) {
  for (const char* directory : {"D:\\TOOLS", "D:\\TOOLS\\"}) {
    platform.directories = {"D:\\TOOLS", "D:\\TOOLS\\"};
    form.commandLine = "EDIT.EXE NOTES.TXT";
    form.workingDirectory = directory;
    platform.fileQueries.clear();
    ok(kv::EditorMode::Add);
    EXPECT_TRUE(platform.captions.empty()) << directory;
    EXPECT_EQ(platform.fileQueries, (std::vector<std::string>{"EDIT.EXE", "D:\\TOOLS\\EDIT.EXE"}));
  }
  // A working directory with a blank is looked for up to it.
  platform.directories = {"D:\\MY"};
  form.commandLine = "D:\\TOOLS\\EDIT.EXE";
  form.workingDirectory = "D:\\MY DOCS";
  ok(kv::EditorMode::Add);
  EXPECT_TRUE(platform.captions.empty());
}

// --- Filing ------------------------------------------------------------------

class FilingTest : public ::testing::Test {
 protected:
  static kv::ScheduleEntry entryAt(kv::Time start, const char* description) {
    kv::ScheduleEntry e;
    e.start = start;
    e.end = 4000000000u;
    e.frequency = 'D';
    e.commandLine = "C:\\BIN\\TOOL.EXE";
    e.description = description;
    return e;
  }
  kvtest::FakeVisibleList list;
  bool failRows = false;
  kv::ScheduleStore store{list, [this](kv::Time start, const std::string& description) {
                            if (failRows) throw std::bad_alloc();
                            return std::to_string(start) + " " + description;
                          }};
};

TEST_F(FilingTest, EditHoldsTheEntryOutButSavesItAndFilingPutsTheNewOneInDueOrder) {
  for (auto [start, description] : {std::pair{300u, "c"}, {100u, "a"}, {200u, "b"}})
    store.fileEntry(entryAt(start, description));
  const std::string everyEntry = kv::encodeScheduleFile(store, "3.0");
  list.selected = 1;
  ASSERT_TRUE(kv::takeOutSelected(store));
  EXPECT_EQ(list.rows, (std::vector<std::string>{"100 a", "300 c"}));
  EXPECT_EQ(store.firstDue().start, 100u);
  // A save while the dialog is open writes the entry as it was.
  EXPECT_EQ(kv::encodeScheduleFile(store, "3.0"), everyEntry);
  EXPECT_FALSE(kv::takeOutSelected(store)) << "one entry out at a time";

  EXPECT_TRUE(kv::fileAcceptedEntry(store, entryAt(250, "b2")));
  EXPECT_EQ(list.rows, (std::vector<std::string>{"100 a", "250 b2", "300 c"}));
  EXPECT_EQ(store.heldOut(), nullptr);
  EXPECT_TRUE(store.changed());

  list.selected = 0;
  ASSERT_TRUE(kv::takeOutSelected(store));
  EXPECT_TRUE(kv::putBack(store));
  EXPECT_EQ(list.rows, (std::vector<std::string>{"100 a", "250 b2", "300 c"}));
  list.selected = -1;
  EXPECT_FALSE(kv::takeOutSelected(store));
}

TEST_F(FilingTest, RunningOutOfMemoryLeavesTheScheduleAsItWas) {
  store.fileEntry(entryAt(200, "b"));
  store.fileEntry(entryAt(100, "a"));
  const std::vector<std::string> before = list.rows;

  failRows = true;
  EXPECT_FALSE(kv::fileAcceptedEntry(store, entryAt(150, "new")));
  EXPECT_EQ(list.rows, before);
  EXPECT_EQ(store.size(), 2u);
  EXPECT_FALSE(store.changed());

  failRows = false;
  list.selected = 0;
  ASSERT_TRUE(kv::takeOutSelected(store));
  failRows = true;
  EXPECT_FALSE(kv::fileAcceptedEntry(store, entryAt(300, "edited")));
  EXPECT_EQ(list.rows, before);
  EXPECT_EQ(store.firstDue().start, 100u);
  EXPECT_FALSE(store.changed());
}

// The edit decides in one place what becomes of its entry: the accepted one
// is filed, the held one goes back after Cancel, and whatever runs out of
// memory or leaves early, the schedule is whole.
TEST_F(FilingTest, AnEditFilesWhatTheDialogAcceptedOrPutsItsEntryBack) {
  const struct {
    const char* what;
    bool edit;  // Edit of row 1 ("200 b"), else Add
    bool accepted;
    bool outOfMemory;
    bool filed, failed;
    std::vector<std::string> rows;
  } cases[] = {
      {"Add, OK", false, true, false, true, false, {"100 a", "150 new", "200 b"}},
      {"Add, Cancel", false, false, false, false, false, {"100 a", "200 b"}},
      {"Edit, OK", true, true, false, true, false, {"100 a", "150 new"}},
      {"Edit, Cancel", true, false, false, false, false, {"100 a", "200 b"}},
      {"Add, OK without memory", false, true, true, false, true, {"100 a", "200 b"}},
      {"Edit, OK without memory", true, true, true, false, true, {"100 a", "200 b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    failRows = false;
    store.clear();
    store.fileEntry(entryAt(200, "b"));
    store.fileEntry(entryAt(100, "a"));
    list.selected = 1;
    kv::EntryEdit edit(store);
    if (c.edit) {
      ASSERT_TRUE(edit.holdSelected());
      EXPECT_EQ(edit.heldEntry()->description, "b");
    }
    failRows = c.outOfMemory;
    const auto accepted = c.accepted ? std::optional(entryAt(150, "new")) : std::nullopt;
    EXPECT_EQ(edit.finish(accepted), c.filed);
    EXPECT_EQ(edit.failed(), c.failed);
    EXPECT_EQ(list.rows, c.rows);
    EXPECT_EQ(store.heldOut(), nullptr);
  }
  // An edit left early, by an exception say, puts its entry back.
  failRows = false;
  list.selected = 0;
  {
    kv::EntryEdit edit(store);
    ASSERT_TRUE(edit.holdSelected());
    EXPECT_EQ(list.rows, (std::vector<std::string>{"200 b"}));
  }
  EXPECT_EQ(list.rows, (std::vector<std::string>{"100 a", "200 b"}));
}

}  // namespace
