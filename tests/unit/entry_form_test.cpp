#include "editor/entry_form.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "editor/entry_filing.h"
#include "fake_visible_list.h"
#include "time_zone.h"

namespace {

using kv::ArrowField;
using kv::EntryForm;
using kv::LocalTime;
using kv::OkDecision;
using kv::Refusal;

std::string shown(kv::Time t) {
  const LocalTime f = kv::toLocalTime(t);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute, f.second);
  return text;
}

kv::DateTimeFields fields(int monthIndex, const char* day, const char* year, const char* hour,
                          const char* minute, bool pm) {
  return kv::DateTimeFields{monthIndex, day, year, hour, minute, pm};
}

// --- Arrow pairs -------------------------------------------------------------

struct StepCase {
  ArrowField field;
  int monthIndex;    // of the side stepped
  const char* year;  // of the side stepped (the start day's bound reads it)
  const char* before;
  int step;
  const char* after;
  bool beep;
};

std::string& fieldText(EntryForm& form, ArrowField field) {
  switch (field) {
    case ArrowField::StartDay:
      return form.start.day;
    case ArrowField::StartYear:
      return form.start.year;
    case ArrowField::StartHour:
      return form.start.hour;
    case ArrowField::StartMinute:
      return form.start.minute;
    case ArrowField::EndDay:
      return form.end.day;
    case ArrowField::EndYear:
      return form.end.year;
    case ArrowField::EndHour:
      return form.end.hour;
    case ArrowField::EndMinute:
      return form.end.minute;
  }
  return form.start.day;
}

class ArrowStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(ArrowStepTest, StepsWithinBoundsAndBeepsAtThem) {
  const StepCase& c = GetParam();
  EntryForm form;
  for (kv::DateTimeFields* side : {&form.start, &form.end}) {
    side->monthIndex = c.monthIndex;
    side->year = c.year;
  }
  fieldText(form, c.field) = c.before;
  EXPECT_EQ(kv::stepField(form, c.field, c.step), c.beep);
  EXPECT_EQ(fieldText(form, c.field), c.after);
}

constexpr int kJanuary = 0, kFebruary = 1, kApril = 3, kDecember = 11;

INSTANTIATE_TEST_SUITE_P(
    EntryForm, ArrowStepTest,
    ::testing::Values(
        // The start day's upper arrow knows the start month and year.
        StepCase{ArrowField::StartDay, kApril, "2024", "30", 1, "30", true},
        StepCase{ArrowField::StartDay, kApril, "2024", "31", 1, "30", true},
        StepCase{ArrowField::StartDay, kApril, "2024", "31", -1, "30", false},
        StepCase{ArrowField::StartDay, kFebruary, "2000", "28", 1, "29", false},
        StepCase{ArrowField::StartDay, kFebruary, "2000", "29", 1, "29", true},
        StepCase{ArrowField::StartDay, kFebruary, "1999", "28", 1, "28", true},
        StepCase{ArrowField::StartDay, kFebruary, "1900", "28", 1, "29", false},
        StepCase{ArrowField::StartDay, kFebruary, "year", "29", 1, "29", true},
        StepCase{ArrowField::StartDay, kJanuary, "2024", "30", 1, "31", false},
        StepCase{ArrowField::StartDay, kJanuary, "2024", "1", -1, "1", true},
        StepCase{ArrowField::StartDay, kJanuary, "2024", "", -1, "1", true},
        // The end day runs to 31 whatever the end month.
        StepCase{ArrowField::EndDay, kFebruary, "1999", "30", 1, "31", false},
        StepCase{ArrowField::EndDay, kFebruary, "1999", "31", 1, "31", true},
        StepCase{ArrowField::StartYear, kDecember, "2035", "2035", 1, "2035", true},
        StepCase{ArrowField::StartYear, kDecember, "", "", 1, "1990", true},
        StepCase{ArrowField::EndYear, kDecember, "1990", "1990", -1, "1990", true},
        StepCase{ArrowField::EndYear, kDecember, "2001", "2001", 1, "2002", false},
        // No wrap-around: 12 stays 12, 59 stays 59.
        StepCase{ArrowField::StartHour, kJanuary, "2024", "12", 1, "12", true},
        StepCase{ArrowField::StartHour, kJanuary, "2024", "1", -1, "1", true},
        StepCase{ArrowField::EndHour, kJanuary, "2024", "", -1, "1", true},
        StepCase{ArrowField::EndHour, kJanuary, "2024", "11", 1, "12", false},
        StepCase{ArrowField::StartMinute, kJanuary, "2024", "59", 1, "59", true},
        StepCase{ArrowField::StartMinute, kJanuary, "2024", "00", -1, "00", true},
        StepCase{ArrowField::StartMinute, kJanuary, "2024", "7", 1, "08", false},
        StepCase{ArrowField::EndMinute, kJanuary, "2024", " -5", 1, "00", true},
        StepCase{ArrowField::EndMinute, kJanuary, "2024", "10", -1, "09", false}));

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
  struct Case {
    int hour24;
    int shownHour;
    bool pm;
  };
  for (const Case& c : {Case{0, 12, false}, Case{1, 1, false}, Case{11, 11, false},
                        Case{12, 12, true}, Case{13, 1, true}, Case{23, 11, true}}) {
    const kv::TwelveHourClock clock = kv::toTwelveHour(c.hour24);
    EXPECT_EQ(clock.hour, c.shownHour) << c.hour24;
    EXPECT_EQ(clock.pm, c.pm) << c.hour24;
    EXPECT_EQ(kv::fromTwelveHour(clock.hour, clock.pm), c.hour24);
  }
  // A typed 0 with pm is noon.
  EXPECT_EQ(kv::fromTwelveHour(0, true), 12);
}

TEST(EntryFormTest, AddShowsTheCurrentMinuteAndEndsIn2035) {
  struct Case {
    int hour, minute;
    const char *shownHour, *shownMinute;
    bool pm;
  };
  for (const Case& c : {Case{0, 30, "12", "30", false}, Case{12, 5, "12", "05", true},
                        Case{23, 59, "11", "59", true}}) {
    LocalTime now{2024, 7, 4, c.hour, c.minute, 33, 4};
    const EntryForm form = kv::formForAdd(now);
    EXPECT_EQ(form.start.monthIndex, 6);
    EXPECT_EQ(form.start.day, "4");
    EXPECT_EQ(form.start.year, "2024");
    EXPECT_EQ(form.start.hour, c.shownHour);
    EXPECT_EQ(form.start.minute, c.shownMinute);
    EXPECT_EQ(form.start.pm, c.pm);
  }
  const EntryForm form = kv::formForAdd(LocalTime{2024, 7, 4, 9, 0, 0, 4});
  EXPECT_EQ(form.end.monthIndex, kDecember);
  EXPECT_EQ(form.end.day, "31");
  EXPECT_EQ(form.end.year, "2035");
  EXPECT_EQ(form.end.hour, "1");
  EXPECT_EQ(form.end.minute, "00");
  EXPECT_TRUE(form.end.pm);
  EXPECT_EQ(form.frequencyIndex, kv::kOnceIndex);
  EXPECT_EQ(form.runModeIndex, kv::kNormalIndex);
  EXPECT_FALSE(kv::enablingOf(form).ok);
  EXPECT_FALSE(kv::enablingOf(form).endingGroup);

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
  EXPECT_EQ(form.start.day, "2");
  EXPECT_EQ(form.start.year, "1996");
  EXPECT_EQ(form.start.hour, "1");
  EXPECT_EQ(form.start.minute, "05");
  EXPECT_TRUE(form.start.pm);
  EXPECT_EQ(form.end.hour, "12");
  EXPECT_FALSE(form.end.pm);
  EXPECT_EQ(form.frequencyIndex, kv::kMonthEndIndex);
  EXPECT_EQ(form.runModeIndex, kv::kMinimizedIndex);
  EXPECT_TRUE(form.background);
  EXPECT_TRUE(form.printFile);
  EXPECT_EQ(form.commandLine, e.commandLine);
  EXPECT_EQ(form.workingDirectory, e.workingDirectory);
  EXPECT_EQ(form.description, e.description);

  e.frequency = 'X';
  e.showCommand = 5;
  const EntryForm unknown = kv::formForEdit(e);
  EXPECT_EQ(unknown.frequencyIndex, kv::kOnceIndex);
  EXPECT_EQ(unknown.runModeIndex, kv::kNormalIndex);
  EXPECT_FALSE(unknown.background);
}

// --- Tables and enabling -----------------------------------------------------

TEST(EntryFormTest, FrequencyAndShowCommandTablesGoBothWays) {
  const std::string codes = "OMFHDKWTE";
  for (int i = 0; i < kv::kFrequencyCount; ++i) {
    const char code = codes[static_cast<std::size_t>(i)];
    EXPECT_EQ(kv::frequencyCode(i), code);
    EXPECT_EQ(kv::frequencyIndex(code), i);
  }
  EXPECT_FALSE(kv::frequencyIndex('X').has_value());
  EXPECT_FALSE(kv::frequencyIndex('o').has_value());

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
  EXPECT_EQ(kv::showCommandOf(kv::kMaximizedIndex, true), 3);
  for (std::uint16_t show : {std::uint16_t{0}, std::uint16_t{5}, std::uint16_t{8}})
    EXPECT_FALSE(kv::runModeOf(show).has_value()) << show;
}

TEST(EntryFormTest, EnablingFollowsTheFrequencyRunModeAndCommandLine) {
  for (int i = 0; i < kv::kFrequencyCount; ++i) {
    EntryForm form;
    form.frequencyIndex = i;
    const kv::FormEnabling enabling = kv::enablingOf(form);
    EXPECT_EQ(enabling.endingGroup, i != kv::kOnceIndex) << i;
    EXPECT_EQ(enabling.startDay, i != kv::kMonthEndIndex) << i;
  }
  EntryForm form;
  form.background = true;
  form.runModeIndex = kv::kMaximizedIndex;
  kv::applyBackgroundRule(form);
  EXPECT_FALSE(form.background);
  EXPECT_FALSE(kv::enablingOf(form).background);
  form.runModeIndex = kv::kNormalIndex;
  kv::applyBackgroundRule(form);
  EXPECT_FALSE(form.background);  // enabled again, still clear
  EXPECT_TRUE(kv::enablingOf(form).background);
  form.background = true;
  form.runModeIndex = kv::kMinimizedIndex;
  kv::applyBackgroundRule(form);
  EXPECT_TRUE(form.background);
  form.commandLine = "x";
  EXPECT_TRUE(kv::enablingOf(form).ok);
}

// --- The conversion ----------------------------------------------------------

struct ConvertCase {
  const char* zone;
  int frequencyIndex;
  kv::DateTimeFields start;
  kv::DateTimeFields end;
  Refusal refusal;
  const char* storedStart;  // when accepted
};

class ConvertTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTest, FieldsBecomeTheEntrysTimes) {
  const ConvertCase& c = GetParam();
  KV_IN_TIME_ZONE(zone, c.zone);
  EntryForm form;
  form.frequencyIndex = c.frequencyIndex;
  form.start = c.start;
  form.end = c.end;
  form.commandLine = "C:\\BIN\\TOOL.EXE";
  const OkDecision d = kv::convertForm(form, "");
  EXPECT_EQ(d.refusal, c.refusal);
  if (c.refusal != Refusal::None) {
    EXPECT_EQ(d.kind, OkDecision::Kind::Refuse);
    return;
  }
  ASSERT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_EQ(shown(d.entry.start), c.storedStart);
  EXPECT_EQ(d.entry.frequency, kv::frequencyCode(c.frequencyIndex));
}

constexpr int kDaily = 4, kWeekdays = 5, kMonthEnd = 8, kOnce = 0;
const kv::DateTimeFields kFarEnd = fields(kDecember, "31", "2035", "1", "00", true);

INSTANTIATE_TEST_SUITE_P(
    EntryForm, ConvertTest,
    ::testing::Values(
        // A start and an end in the same minute: 10:15:01 is before 10:15:59.
        ConvertCase{"UTC", kDaily, fields(kJanuary, "5", "2024", "10", "15", false),
                    fields(kJanuary, "5", "2024", "10", "15", false), Refusal::None,
                    "2024-01-05 10:15:01"},
        ConvertCase{"UTC", kDaily, fields(kJanuary, "5", "2024", "10", "16", false),
                    fields(kJanuary, "5", "2024", "10", "15", false), Refusal::StartNotBeforeEnd,
                    ""},
        // 12 am is midnight, 12 pm noon.
        ConvertCase{"UTC", kDaily, fields(kJanuary, "5", "2024", "12", "00", false), kFarEnd,
                    Refusal::None, "2024-01-05 00:00:01"},
        ConvertCase{"UTC", kDaily, fields(kJanuary, "5", "2024", "12", "00", true), kFarEnd,
                    Refusal::None, "2024-01-05 12:00:01"},
        // 31 April is 1 May for every code but Month End.
        ConvertCase{"UTC", kDaily, fields(kApril, "31", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-05-01 09:00:01"},
        ConvertCase{"UTC", kMonthEnd, fields(kApril, "31", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-04-30 09:00:01"},
        ConvertCase{"UTC", kMonthEnd, fields(kFebruary, "10", "1996", "8", "30", false), kFarEnd,
                    Refusal::None, "1996-02-29 08:30:01"},
        ConvertCase{"UTC", kMonthEnd, fields(kJanuary, "31", "1996", "8", "30", false), kFarEnd,
                    Refusal::None, "1996-01-31 08:30:01"},
        ConvertCase{"UTC", kWeekdays, fields(kJanuary, "6", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-01-08 09:00:01"},
        ConvertCase{"UTC", kWeekdays, fields(kJanuary, "5", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-01-05 09:00:01"},
        // Across the spring change of the clocks the clock time stays.
        ConvertCase{"Europe/Berlin", kWeekdays, fields(2, "30", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-04-01 09:00:01"},
        ConvertCase{"Europe/Berlin", kMonthEnd, fields(2, "10", "2024", "9", "00", false), kFarEnd,
                    Refusal::None, "2024-03-31 09:00:01"},
        ConvertCase{"America/New_York", kWeekdays, fields(2, "9", "2024", "9", "00", false),
                    kFarEnd, Refusal::None, "2024-03-11 09:00:01"},
        ConvertCase{"America/New_York", kMonthEnd, fields(2, "1", "2024", "9", "00", false),
                    kFarEnd, Refusal::None, "2024-03-31 09:00:01"},
        // A clock time the spring change skips starts an hour later.
        ConvertCase{"Europe/Berlin", kDaily, fields(2, "31", "2024", "2", "30", false), kFarEnd,
                    Refusal::None, "2024-03-31 03:30:01"},
        // Dates an entry cannot hold are refused.
        ConvertCase{"UTC", kOnce, fields(kJanuary, "1", "1969", "9", "00", false), kFarEnd,
                    Refusal::StartOutOfRange, ""},
        ConvertCase{"UTC", kDaily, fields(kJanuary, "1", "2024", "9", "00", false),
                    fields(kDecember, "31", "2106", "1", "00", false), Refusal::EndOutOfRange, ""},
        ConvertCase{"UTC", kDaily, fields(kJanuary, "1", "2024", "9", "00", false),
                    fields(kJanuary, "1", "1960", "1", "00", false), Refusal::EndOutOfRange, ""},
        ConvertCase{"UTC", kDaily, fields(kJanuary, "999999999", "2024", "9", "00", false), kFarEnd,
                    Refusal::StartOutOfRange, ""}));

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
}

// --- OK: checks in order -----------------------------------------------------

class FakePlatform : public kv::EditorPlatform {
 public:
  std::vector<std::string> files;
  std::vector<std::string> directories;
  bool noAssociation = false;
  std::vector<bool> answers;  // confirm answers in turn; true (OK) once they run out
  std::vector<std::string> captions;
  std::vector<std::string> texts;
  std::vector<std::string> fileQueries;

  bool fileExists(const std::string& path) override {
    fileQueries.push_back(path);
    return std::find(files.begin(), files.end(), path) != files.end();
  }
  bool directoryExists(const std::string& path) override {
    return std::find(directories.begin(), directories.end(), path) != directories.end();
  }
  bool lacksAssociation(const std::string&, const std::string&) override { return noAssociation; }
  bool confirm(const std::string& text, const char* caption) override {
    texts.push_back(text);
    captions.push_back(caption);
    const std::size_t i = captions.size() - 1;
    return i < answers.size() ? answers[i] : true;
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
    return kv::decideOk(form, mode, platform, programDir, associationWarning);
  }

  EntryForm form;
  FakePlatform platform;
  std::string programDir;
};

TEST_F(OkTest, AddRemembersTheProgramDirectoryAndDefaultsTheDescription) {
  const OkDecision d = ok(kv::EditorMode::Add);
  ASSERT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_TRUE(platform.captions.empty());
  EXPECT_EQ(d.entry.workingDirectory, "D:\\TOOLS");
  EXPECT_TRUE(d.takesProgramDir);
  EXPECT_EQ(d.entry.description, "EDIT");
  EXPECT_EQ(d.entry.showCommand, 1);
  EXPECT_EQ(d.entry.printFlag, '0');
}

TEST_F(OkTest, OnceGetsTheFixedEndWhateverTheFieldsShowed) {
  KV_IN_TIME_ZONE(zone, "Europe/Berlin");
  form.end = fields(kJanuary, "3", "1990", "7", "45", false);
  const OkDecision d = ok(kv::EditorMode::Edit);
  ASSERT_EQ(d.kind, OkDecision::Kind::File);
  EXPECT_TRUE(d.endFixed);
  EXPECT_EQ(shown(d.entry.end), "2035-12-31 13:00:59");
  EXPECT_EQ(form.end.year, "2035");
  EXPECT_TRUE(form.end.pm);
}

TEST_F(OkTest, WarningsComeInTheModesOrderWithTheirTexts) {
  form.commandLine = "C:\\GONE\\OLD.EXE /x";
  form.workingDirectory = "C:\\NOWHERE";
  platform.noAssociation = true;
  OkDecision d = ok(kv::EditorMode::Add);
  EXPECT_EQ(d.kind, OkDecision::Kind::File);
  ASSERT_EQ(platform.captions.size(), 3u);
  EXPECT_EQ(platform.captions[0], "Invalid Path Warning");
  EXPECT_EQ(platform.texts[0],
            "The path C:\\GONE\\OLD.EXE specified on the command line is invalid.\nIf you know "
            "this file is in your path you may disregard this warning");
  EXPECT_EQ(platform.captions[1], "Invalid Path Warning");
  EXPECT_EQ(platform.texts[1], "The working directory C:\\NOWHERE is invalid.\n");
  EXPECT_EQ(platform.captions[2], "No Association");
  EXPECT_EQ(platform.texts[2], "There is no association for C:\\GONE\\OLD.EXE");
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
}

TEST_F(OkTest, CancelOnAnyWarningStaysAndFilesNothing) {
  form.commandLine = "C:\\GONE\\OLD.EXE";
  form.workingDirectory = "C:\\NOWHERE";
  platform.noAssociation = true;
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

TEST_F(OkTest, AnEmptyCommandLineFilesNothingAndAsksNothing) {
  form.commandLine.clear();
  EXPECT_EQ(ok(kv::EditorMode::Add).kind, OkDecision::Kind::Stay);
  EXPECT_TRUE(platform.fileQueries.empty());
  EXPECT_TRUE(programDir.empty());
}

TEST_F(OkTest, ARememberedDirectoryIsKeptWhenTheUserGaveOne) {
  programDir = "C:\\FIRST";
  form.workingDirectory = "D:\\TOOLS";
  OkDecision d = ok(kv::EditorMode::Add);
  EXPECT_EQ(d.entry.workingDirectory, "D:\\TOOLS");
  EXPECT_FALSE(d.takesProgramDir);
  EXPECT_EQ(programDir, "C:\\FIRST");
  form.workingDirectory.clear();
  d = ok(kv::EditorMode::Edit);
  EXPECT_EQ(d.entry.workingDirectory, "C:\\FIRST");
  EXPECT_TRUE(d.takesProgramDir);
}

// --- Filing ------------------------------------------------------------------

class FilingTest : public ::testing::Test {
 protected:
  kv::ScheduleEntry entryAt(kv::Time start, const char* description) {
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

TEST_F(FilingTest, EditTakesTheEntryOutAndFilingPutsTheNewOneInDueOrder) {
  store.fileEntry(entryAt(300, "c"));
  store.fileEntry(entryAt(100, "a"));
  store.fileEntry(entryAt(200, "b"));
  store.reloadFirstDue();
  list.selected = 0;
  const auto saved = kv::takeOutSelected(store);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->displayRow, "100 a");
  EXPECT_EQ(list.rows, (std::vector<std::string>{"200 b", "300 c"}));
  EXPECT_EQ(store.firstDue().start, 200u);

  EXPECT_TRUE(kv::fileAcceptedEntry(store, entryAt(250, "a2"), &*saved));
  EXPECT_EQ(list.rows, (std::vector<std::string>{"200 b", "250 a2", "300 c"}));
  EXPECT_TRUE(store.changed());

  list.selected = -1;
  EXPECT_FALSE(kv::takeOutSelected(store).has_value());
}

TEST_F(FilingTest, RunningOutOfMemoryLeavesTheScheduleAsItWas) {
  store.fileEntry(entryAt(200, "b"));
  store.fileEntry(entryAt(100, "a"));
  store.reloadFirstDue();
  const std::vector<std::string> before = list.rows;

  failRows = true;
  EXPECT_FALSE(kv::fileAcceptedEntry(store, entryAt(150, "new"), nullptr));
  EXPECT_EQ(list.rows, before);
  EXPECT_EQ(store.size(), 2u);
  EXPECT_FALSE(store.changed());

  failRows = false;
  list.selected = 0;
  const auto saved = kv::takeOutSelected(store);
  ASSERT_TRUE(saved.has_value());
  failRows = true;
  EXPECT_FALSE(kv::fileAcceptedEntry(store, entryAt(300, "edited"), &*saved));
  EXPECT_EQ(list.rows, before);
  EXPECT_EQ(store.firstDue().start, 100u);
  EXPECT_FALSE(store.changed());
}

}  // namespace
