// OK in the entry dialog: the checks in each mode's order, the warnings
// they give, and the conversion of the fields into the entry to file.
#include <cstdint>
#include <limits>

#include "editor/entry_form.h"
#include "engine/launcher.h"
#include "engine/recurrence.h"
#include "schedule/ascii_case.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

// The years a time of an entry can fall in, in any zone; a date outside
// them is refused before any calendar arithmetic.
constexpr int kFirstYear = 1969;
constexpr int kLastYear = 2106;
constexpr std::int64_t kMaxDayOffset = 100000;

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
  const Frequency frequency = frequencyAtPlace(form.frequencyIndex).value_or(Frequency::Once);
  const int day = frequency == Frequency::MonthEnd ? 1 : fieldNumber(form.start.day, false);
  std::optional<LocalTime> fields = normalisedFields(form.start, day, 1);
  if (!fields) return std::nullopt;
  if (frequency == Frequency::Weekdays) {
    while (isWeekend(*fields)) *fields = addDays(*fields, 1);
  } else if (frequency == Frequency::MonthEnd) {
    fields->day = daysInMonth(fields->year, fields->month);
  }
  return fields;
}

// In characters as the dialog's edits count them (UTF-16 code units).
bool textsFit(const ScheduleEntry& entry) {
  const std::size_t commandLine = utf16Length(entry.commandLine);
  const std::size_t workingDirectory = utf16Length(entry.workingDirectory);
  const std::size_t description = utf16Length(entry.description);
  return commandLine <= kMaxText && workingDirectory <= kMaxText && description <= kMaxText &&
         commandLine + workingDirectory + description <= kMaxTextsTogether;
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
  if (entry.end <= entry.start && frequencyOfCode(entry.frequency) != Frequency::Once) {
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
