#include "editor/entry_form.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "engine/recurrence.h"
#include "schedule/ascii_case.h"

namespace kv {
namespace {

constexpr std::array<char, kFrequencyCount> kFrequencyCodes = {'O', 'M', 'F', 'H', 'D',
                                                               'K', 'W', 'T', 'E'};

constexpr int kMaxFieldNumber = 999999999;

// The end every new entry offers, and every one-time entry gets.
constexpr int kOnceEndMonthIndex = 11;
constexpr const char* kOnceEndDay = "31";
constexpr const char* kOnceEndYear = "2035";
constexpr const char* kOnceEndHour = "1";
constexpr const char* kOnceEndMinute = "00";

// The years a time of an entry can fall in, in any zone; a date outside
// them is refused before any calendar arithmetic.
constexpr int kFirstYear = 1969;
constexpr int kLastYear = 2106;
constexpr std::int64_t kMaxDayOffset = 100000;

struct Bounds {
  int low;
  int high;
};
constexpr Bounds kDayBounds{1, 31};
constexpr Bounds kYearBounds{1990, 2035};
constexpr Bounds kHourBounds{1, 12};
constexpr Bounds kMinuteBounds{0, 59};

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

bool isWeekend(const LocalTime& t) {
  return t.weekday == 0 || t.weekday == 6;
}

// The local clock fields the numbers stand for, with minutes, hours and days
// beyond their range carried over as the calendar does (31 April is 1 May).
// Empty for a date no entry can hold.
std::optional<LocalTime> normalisedFields(const DateTimeFields& fields, int day, int second) {
  const int year = fieldNumber(fields.year, false);
  if (year < kFirstYear || year > kLastYear) return std::nullopt;
  const int hour = fromTwelveHour(fieldNumber(fields.hour, false), fields.pm);
  const std::int64_t minutes =
      static_cast<std::int64_t>(hour) * 60 + fieldNumber(fields.minute, false);
  const std::int64_t dayOffset = static_cast<std::int64_t>(day) - 1 + minutes / 1440;
  if (dayOffset > kMaxDayOffset) return std::nullopt;
  LocalTime first;
  first.year = year;
  first.month = std::clamp(fields.monthIndex, 0, 11) + 1;
  first.day = 1;
  first.hour = static_cast<int>(minutes % 1440 / 60);
  first.minute = static_cast<int>(minutes % 60);
  first.second = second;
  return addDays(first, static_cast<int>(dayOffset));
}

// The start's clock fields after the Frequency's move: Weekdays goes on to
// Monday, Month End to the last day of the chosen month. Month End takes the
// chosen month whatever day the (disabled) day field holds.
std::optional<LocalTime> startFields(const EntryForm& form) {
  const char code = frequencyCode(form.frequencyIndex);
  const int day = code == 'E' ? 1 : fieldNumber(form.start.day, false);
  std::optional<LocalTime> fields = normalisedFields(form.start, day, 1);
  if (!fields) return std::nullopt;
  if (code == 'K') {
    while (isWeekend(*fields)) *fields = addDays(*fields, 1);
  } else if (code == 'E') {
    fields->day = daysInMonth(fields->year, fields->month);
  }
  return fields;
}

std::size_t totalTextLength(const ScheduleEntry& entry) {
  return entry.commandLine.size() + entry.workingDirectory.size() + entry.description.size();
}

bool textsFit(const ScheduleEntry& entry) {
  return entry.commandLine.size() <= kMaxText && entry.workingDirectory.size() <= kMaxText &&
         entry.description.size() <= kMaxText && totalTextLength(entry) <= kMaxTextsTogether;
}

std::string joinPath(const std::string& directory, std::string_view name) {
  std::string path = directory;
  if (path.back() != '\\') path += '\\';
  path += name;
  return path;
}

// The program part is found as given, or in the working directory.
bool programFound(EditorPlatform& platform, const std::string& program,
                  const std::string& directory) {
  if (platform.fileExists(program)) return true;
  return !directory.empty() && platform.fileExists(joinPath(directory, program));
}

// Go on (true) or stay. The check is of the working directory when the path
// is the working directory itself, else of the program.
bool pathCheck(EditorPlatform& platform, const std::string& path, const std::string& directory) {
  if (equalsIgnoringAsciiCase(path, directory)) {
    const std::string folder(programPart(directory));
    if (platform.directoryExists(folder)) return true;
    return platform.confirm("The working directory " + path + " is invalid.\n",
                            kInvalidPathCaption);
  }
  if (programFound(platform, path, directory)) return true;
  return platform.confirm(
      "The path " + path + " specified on the command line is invalid.\n" +
          "If you know this file is in your path you may disregard this warning",
      kInvalidPathCaption);
}

bool associationCheck(EditorPlatform& platform, const std::string& program,
                      const std::string& directory, bool associationWarning) {
  if (!associationWarning || !platform.lacksAssociation(program, directory)) return true;
  return platform.confirm("There is no association for " + program, kNoAssociationCaption);
}

OkDecision stay() {
  return OkDecision{};
}

}  // namespace

char frequencyCode(int index) {
  if (index < 0 || index >= kFrequencyCount) return 'O';
  return kFrequencyCodes[static_cast<std::size_t>(index)];
}

std::optional<int> frequencyIndex(char code) {
  const auto* at = std::find(kFrequencyCodes.begin(), kFrequencyCodes.end(), code);
  if (at == kFrequencyCodes.end()) return std::nullopt;
  return static_cast<int>(at - kFrequencyCodes.begin());
}

std::uint16_t showCommandOf(int runModeIndex, bool background) {
  switch (runModeIndex) {
    case kMinimizedIndex:
      return background ? 7 : 2;
    case kMaximizedIndex:
      return 3;
    default:
      return background ? 4 : 1;
  }
}

std::optional<RunModeChoice> runModeOf(std::uint16_t showCommand) {
  switch (showCommand) {
    case 1:
      return RunModeChoice{kNormalIndex, false};
    case 2:
      return RunModeChoice{kMinimizedIndex, false};
    case 3:
      return RunModeChoice{kMaximizedIndex, false};
    case 4:
      return RunModeChoice{kNormalIndex, true};
    case 7:
      return RunModeChoice{kMinimizedIndex, true};
    default:
      return std::nullopt;
  }
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

bool stepField(EntryForm& form, ArrowField field, int step) {
  const bool start = field == ArrowField::StartDay || field == ArrowField::StartYear ||
                     field == ArrowField::StartHour || field == ArrowField::StartMinute;
  DateTimeFields& side = start ? form.start : form.end;
  std::string* text = nullptr;
  Bounds bounds{};
  switch (field) {
    case ArrowField::StartDay:
    case ArrowField::EndDay:
      text = &side.day;
      bounds = kDayBounds;
      // Only the start day's upper arrow knows the month.
      if (start && step > 0) {
        bounds.high = startMonthLength(side.monthIndex, fieldNumber(side.year, true));
      }
      break;
    case ArrowField::StartYear:
    case ArrowField::EndYear:
      text = &side.year;
      bounds = kYearBounds;
      break;
    case ArrowField::StartHour:
    case ArrowField::EndHour:
      text = &side.hour;
      bounds = kHourBounds;
      break;
    case ArrowField::StartMinute:
    case ArrowField::EndMinute:
      text = &side.minute;
      bounds = kMinuteBounds;
      break;
  }
  int value = fieldNumber(*text, true) + step;
  bool beep = false;
  if (value > bounds.high) {
    beep = true;
    value = bounds.high;
  }
  if (value < bounds.low) {
    beep = true;
    value = bounds.low;
  }
  const bool minute = field == ArrowField::StartMinute || field == ArrowField::EndMinute;
  *text = minute ? twoDigits(value) : std::to_string(value);
  return beep;
}

const char* refusalText(Refusal refusal) {
  switch (refusal) {
    case Refusal::StartOutOfRange:
      return "The starting date cannot be kept. Choose a date from 1970 to 2105.";
    case Refusal::EndOutOfRange:
      return "The ending date cannot be kept. Choose a date from 1970 to 2105.";
    case Refusal::NeverStarts:
      return "The entry would never start: its next start lies after its ending time.";
    case Refusal::TextsTooLong:
      return "The description, command line and working directory are too long. Each may hold "
             "253 characters, and the three together 474.";
    default:
      return "";
  }
}

const char* refusalCaption(Refusal refusal) {
  return refusal == Refusal::TextsTooLong ? "Texts Too Long" : "Invalid Date";
}

std::optional<Time> fieldsTime(const DateTimeFields& fields, int second) {
  const std::optional<LocalTime> local =
      normalisedFields(fields, fieldNumber(fields.day, false), second);
  if (!local) return std::nullopt;
  return fromLocalClock(*local);
}

OkDecision convertForm(const EntryForm& form, const std::string& programDir) {
  OkDecision decision;
  ScheduleEntry& entry = decision.entry;
  entry.frequency = frequencyCode(form.frequencyIndex);
  entry.showCommand = showCommandOf(form.runModeIndex, form.background);
  entry.commandLine = form.commandLine;
  entry.workingDirectory = form.workingDirectory;
  if (entry.workingDirectory.empty() && !programDir.empty()) {
    entry.workingDirectory = programDir;
    decision.takesProgramDir = true;
  }
  entry.description =
      form.description.empty() ? defaultDescription(form.commandLine) : form.description;
  entry.printFlag = form.printFile ? '1' : '0';

  decision.kind = OkDecision::Kind::Refuse;
  if (!textsFit(entry)) {
    decision.refusal = Refusal::TextsTooLong;
    return decision;
  }
  const std::optional<LocalTime> start = startFields(form);
  const std::optional<Time> startTime = start ? fromLocalClock(*start) : std::nullopt;
  if (!startTime) {
    decision.refusal = Refusal::StartOutOfRange;
    return decision;
  }
  entry.start = *startTime;
  const std::optional<Time> endTime = fieldsTime(form.end, 59);
  if (!endTime) {
    decision.refusal = Refusal::EndOutOfRange;
    return decision;
  }
  entry.end = *endTime;
  if (entry.end <= entry.start && entry.frequency != 'O') {
    decision.refusal = Refusal::StartNotBeforeEnd;
    return decision;
  }
  decision.kind = OkDecision::Kind::File;
  return decision;
}

namespace {

// A repeating entry whose start has already passed starts at its first
// occurrence after now, as a loaded one does, rather than at once; one that
// would then start after its end would never start, and is refused.
void moveToFirstStartAfter(OkDecision& decision, Time now) {
  ScheduleEntry& entry = decision.entry;
  if (!isRecurring(entry.frequency) || entry.start >= now) return;
  const std::optional<ScheduleEntry> moved = catchUpOnLoad(entry, now, now);
  if (!moved) {
    decision.kind = OkDecision::Kind::Refuse;
    decision.refusal = Refusal::NeverStarts;
    return;
  }
  entry.start = moved->start;
}

}  // namespace

OkDecision decideOk(EntryForm& form, EditorMode mode, EditorPlatform& platform,
                    std::string& programDir, bool associationWarning, Time now) {
  // OK is disabled without a command line; one that still arrives files nothing.
  if (form.commandLine.empty()) return stay();
  const std::string program(programPart(form.commandLine));
  const std::string& directory = form.workingDirectory;
  if (!pathCheck(platform, program, directory)) return stay();
  if (mode == EditorMode::Add) {
    fillDefaultDirectory(form.commandLine, programDir);
    if (!directory.empty() && !pathCheck(platform, directory, directory)) return stay();
  }
  if (!associationCheck(platform, program, directory, associationWarning)) return stay();
  bool endFixed = false;
  if (form.frequencyIndex == kOnceIndex) {
    fixOnceEnd(form);
    endFixed = true;
  }
  OkDecision decision = convertForm(form, programDir);
  decision.endFixed = endFixed;
  if (decision.kind == OkDecision::Kind::File) moveToFirstStartAfter(decision, now);
  return decision;
}

}  // namespace kv
