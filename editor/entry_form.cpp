#include "editor/entry_form.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr int kMaxFieldNumber = 999999999;

// The end every new entry offers, and every one-time entry gets.
constexpr int kOnceEndMonthIndex = 11;
constexpr const char* kOnceEndDay = "31";
constexpr const char* kOnceEndYear = "2035";
constexpr const char* kOnceEndHour = "1";
constexpr const char* kOnceEndMinute = "00";

// In the order of ArrowField, so that a field is its own index.
constexpr ArrowPair kArrowPairs[] = {
    {ArrowField::StartDay, IDC_START_DAY_ARROWS, IDC_START_DAY, &EntryForm::start,
     &DateTimeFields::day, 1, 31},
    {ArrowField::StartYear, IDC_START_YEAR_ARROWS, IDC_START_YEAR, &EntryForm::start,
     &DateTimeFields::year, 1990, 2035},
    {ArrowField::StartHour, IDC_START_HOUR_ARROWS, IDC_START_HOUR, &EntryForm::start,
     &DateTimeFields::hour, 1, 12},
    {ArrowField::StartMinute, IDC_START_MINUTE_ARROWS, IDC_START_MINUTE, &EntryForm::start,
     &DateTimeFields::minute, 0, 59},
    {ArrowField::EndDay, IDC_END_DAY_ARROWS, IDC_END_DAY, &EntryForm::end, &DateTimeFields::day, 1,
     31},
    {ArrowField::EndYear, IDC_END_YEAR_ARROWS, IDC_END_YEAR, &EntryForm::end, &DateTimeFields::year,
     1990, 2035},
    {ArrowField::EndHour, IDC_END_HOUR_ARROWS, IDC_END_HOUR, &EntryForm::end, &DateTimeFields::hour,
     1, 12},
    {ArrowField::EndMinute, IDC_END_MINUTE_ARROWS, IDC_END_MINUTE, &EntryForm::end,
     &DateTimeFields::minute, 0, 59},
};

constexpr bool inFieldOrder() {
  for (std::size_t i = 0; i < std::size(kArrowPairs); ++i) {
    if (static_cast<std::size_t>(kArrowPairs[i].field) != i) return false;
  }
  return true;
}
static_assert(inFieldOrder(), "a field is the index of its arrow pair");

std::string twoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

void setClock(DateTimeFields& fields, const LocalTime& time) {
  const TwelveHourClock clock = toTwelveHour(time.hour);
  fields.monthIndex = time.month - 1;
  fields.day = std::to_string(time.day);
  fields.year = std::to_string(time.year);
  fields.hour = std::to_string(clock.hour);
  fields.minute = twoDigits(time.minute);
  fields.pm = clock.pm;
}

void setOnceEnd(DateTimeFields& end) {
  end.monthIndex = kOnceEndMonthIndex;
  end.day = kOnceEndDay;
  end.year = kOnceEndYear;
  end.hour = kOnceEndHour;
  end.minute = kOnceEndMinute;
  end.pm = true;
}

// The end as the fields can show and keep it. An end is kept at second 59
// of its minute, which for the last minute of the time range (where the
// value 4294967295 of a failed conversion lies) is past the range: such an
// end shows as the minute before.
Time keepableEnd(Time end) {
  const auto secondsToMinuteEnd = static_cast<Time>(59 - toLocalTime(end).second);
  return end > std::numeric_limits<Time>::max() - secondsToMinuteEnd ? end - 60 : end;
}

}  // namespace

char frequencyCode(int index) {
  return codeOf(frequencyAtPlace(index).value_or(Frequency::Once));
}

std::optional<int> frequencyIndex(char code) {
  const std::optional<Frequency> frequency = frequencyOfCode(code);
  if (!frequency) return std::nullopt;
  return listPlaceOf(*frequency);
}

std::uint16_t showCommandOf(int runModeIndex, bool background) {
  return showCommandOf(
      ShowChoice{runModeAtPlace(runModeIndex).value_or(RunMode::Normal), background});
}

std::optional<RunModeChoice> runModeOf(std::uint16_t showCommand) {
  const std::optional<ShowChoice> choice = showChoiceOf(showCommand);
  if (!choice) return std::nullopt;
  return RunModeChoice{listPlaceOf(choice->mode), choice->background};
}

TwelveHourClock toTwelveHour(int hour24) {
  TwelveHourClock clock;
  clock.pm = hour24 >= 12;
  clock.hour = hour24 > 12 ? hour24 - 12 : (hour24 == 0 ? 12 : hour24);
  return clock;
}

int fromTwelveHour(int hour, bool pm) {
  if (pm) return hour == 12 ? 12 : hour + 12;
  return hour == 12 ? 0 : hour;
}

EntryForm formForAdd(const LocalTime& now, std::string_view droppedPath) {
  EntryForm form;
  setClock(form.start, now);
  setOnceEnd(form.end);
  form.commandLine = droppedPath;
  return form;
}

EntryForm formForEdit(const ScheduleEntry& entry) {
  EntryForm form;
  setClock(form.start, toLocalTime(entry.start));
  setClock(form.end, toLocalTime(keepableEnd(entry.end)));
  form.frequencyIndex = frequencyIndex(entry.frequency).value_or(kOnceIndex);
  const RunModeChoice choice = runModeOf(entry.showCommand).value_or(RunModeChoice{});
  form.runModeIndex = choice.runModeIndex;
  form.background = choice.background;
  form.printFile = entry.printFlag == '1';
  form.description = entry.description;
  form.commandLine = entry.commandLine;
  form.workingDirectory = entry.workingDirectory;
  return form;
}

void fixOnceEnd(EntryForm& form) {
  setOnceEnd(form.end);
}

FormEnabling enablingOf(const EntryForm& form) {
  FormEnabling enabling;
  enabling.endingGroup = form.frequencyIndex != kOnceIndex;
  enabling.startDay = form.frequencyIndex != kMonthEndIndex;
  enabling.background = form.runModeIndex != kMaximizedIndex;
  enabling.ok = !form.commandLine.empty();
  return enabling;
}

void applyBackgroundRule(EntryForm& form) {
  if (form.runModeIndex == kMaximizedIndex) form.background = false;
}

int startMonthLength(int monthIndex, int year) {
  if (monthIndex == 1) return year % 4 == 0 ? 29 : 28;
  return daysInMonth(2001, std::clamp(monthIndex, 0, 11) + 1);
}

int fieldNumber(std::string_view text, bool allowSign) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (allowSign && at < text.size() && (text[at] == '-' || text[at] == '+')) {
    negative = text[at] == '-';
    ++at;
  }
  int value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value > (kMaxFieldNumber - 9) / 10 ? kMaxFieldNumber : value * 10 + (text[at] - '0');
  }
  return negative ? -value : value;
}

std::span<const ArrowPair> arrowPairs() {
  return kArrowPairs;
}

const ArrowPair* arrowPairOf(int arrowsId) {
  for (const ArrowPair& pair : kArrowPairs) {
    if (pair.arrowsId == arrowsId) return &pair;
  }
  return nullptr;
}

bool stepField(EntryForm& form, ArrowField field, int step) {
  const ArrowPair& pair = kArrowPairs[static_cast<std::size_t>(field)];
  DateTimeFields& side = form.*pair.side;
  std::string& text = side.*pair.text;
  int high = pair.high;
  // Only the start day's upper arrow knows the month.
  if (field == ArrowField::StartDay && step > 0) {
    high = startMonthLength(side.monthIndex, fieldNumber(side.year, true));
  }
  int value = fieldNumber(text, true) + step;
  bool beep = false;
  if (value > high) {
    beep = true;
    value = high;
  }
  if (value < pair.low) {
    beep = true;
    value = pair.low;
  }
  text = pair.text == &DateTimeFields::minute ? twoDigits(value) : std::to_string(value);
  return beep;
}

}  // namespace kv
