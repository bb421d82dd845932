// The entry dialog's fields as plain values, and the rules on them: how the
// dialog is filled, what is enabled, how the arrows step the numbers, and
// how the fields become a ScheduleEntry (entry_form.cpp, and entry_commit.cpp
// for OK). No window is involved; the dialog copies its controls into an
// EntryForm and back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/calendar.h"
#include "engine/launcher.h"
#include "schedule/entry_codes.h"
#include "schedule/entry_line.h"

namespace kv {

// The Frequency and Run-Mode lists, index by index, in the order of the
// entry codes' tables.
inline constexpr int kFrequencyCount = static_cast<int>(kFrequencies.size());
inline constexpr int kOnceIndex = listPlaceOf(Frequency::Once);
inline constexpr int kWeekdaysIndex = listPlaceOf(Frequency::Weekdays);
inline constexpr int kMonthEndIndex = listPlaceOf(Frequency::MonthEnd);
inline constexpr std::array<const char*, kFrequencyCount> kFrequencyNames = namesOf(kFrequencies);

inline constexpr int kRunModeCount = static_cast<int>(kRunModes.size());
inline constexpr int kNormalIndex = listPlaceOf(RunMode::Normal);
inline constexpr int kMinimizedIndex = listPlaceOf(RunMode::Minimized);
inline constexpr int kMaximizedIndex = listPlaceOf(RunMode::Maximized);
inline constexpr std::array<const char*, kRunModeCount> kRunModeNames = namesOf(kRunModes);

// One side (start or end) of the dialog: a month list, three number edits
// and an am/pm pair. The numbers are kept as the user typed them.
struct DateTimeFields {
  int monthIndex = 0;  // 0 January .. 11 December
  std::string day;
  std::string year;
  std::string hour;    // 1..12 on the 12-hour clock
  std::string minute;  // two digits
  bool pm = false;
};

struct EntryForm {
  DateTimeFields start;
  DateTimeFields end;
  int frequencyIndex = kOnceIndex;
  int runModeIndex = kNormalIndex;
  bool background = false;
  bool printFile = false;
  std::string description;
  std::string commandLine;
  std::string workingDirectory;
};

// --- Tables, both ways -----------------------------------------------------

// The code of a Frequency index; Once's for an index outside the list.
char frequencyCode(int index);
// The index of a code; empty for a code the list does not hold.
std::optional<int> frequencyIndex(char code);

// The show command of a Run-Mode and Background (Background does not go with
// Maximized).
std::uint16_t showCommandOf(int runModeIndex, bool background);
struct RunModeChoice {
  int runModeIndex = kNormalIndex;
  bool background = false;
};
// Empty for a show command the dialog cannot show.
std::optional<RunModeChoice> runModeOf(std::uint16_t showCommand);

// --- The 12-hour clock -----------------------------------------------------

struct TwelveHourClock {
  int hour = 12;  // 1..12
  bool pm = false;
};
TwelveHourClock toTwelveHour(int hour24);
// The hour of the day of a shown hour: pm adds 12 except to 12, and 12 am is 0.
int fromTwelveHour(int hour, bool pm);

// --- Filling ---------------------------------------------------------------

// A new entry at the current minute, ending 31 December 2035 at 1:00 pm,
// Once and Normal; a dropped file's path as its command line.
EntryForm formForAdd(const LocalTime& now, std::string_view droppedPath = "");
// The fields of an existing entry. A Frequency code or show command that the
// lists do not hold shows as Once or Normal.
EntryForm formForEdit(const ScheduleEntry& entry);

// The end a one-time entry always gets: 31 December 2035 at 1:00 pm.
void fixOnceEnd(EntryForm& form);

// --- Enabling --------------------------------------------------------------

struct FormEnabling {
  bool endingGroup = false;  // the Ending fields, their arrows and labels
  bool startDay = true;      // the start day and its arrows
  bool background = true;
  bool ok = false;
};
FormEnabling enablingOf(const EntryForm& form);
// Maximized clears Background (it is disabled meanwhile).
void applyBackgroundRule(EntryForm& form);

// --- Arrow pairs -----------------------------------------------------------

enum class ArrowField {
  StartDay,
  StartYear,
  StartHour,
  StartMinute,
  EndDay,
  EndYear,
  EndHour,
  EndMinute
};

// Each arrow pair of the dialog steps the edit beside it: the pair's and the
// edit's control ids, the side and number it steps, and the bounds of its
// arrows. The start day's upper arrow stops at the start month's length.
struct ArrowPair {
  ArrowField field;
  int arrowsId;
  int editId;
  DateTimeFields EntryForm::*side;
  std::string DateTimeFields::*text;
  int low;
  int high;
};
std::span<const ArrowPair> arrowPairs();
// The pair of those arrows' control id, or null.
const ArrowPair* arrowPairOf(int arrowsId);

// Steps a field by +1 (upper arrow) or -1 (lower arrow), keeping it within
// its bounds without wrapping. True when the step met a bound (the dialog
// beeps).
bool stepField(EntryForm& form, ArrowField field, int step);

// The days of a start month as the start day's upper arrow sees them: February
// has 29 days in every year divisible by 4.
int startMonthLength(int monthIndex, int year);

// The number at the head of a field: leading blanks, an optional sign when
// signed, decimal digits; no digits give 0. Values saturate at 999999999.
int fieldNumber(std::string_view text, bool allowSign);

// --- OK --------------------------------------------------------------------

enum class EditorMode { Add, Edit };

// Why an OK files nothing though the user did not cancel.
enum class Refusal {
  None,
  StartNotBeforeEnd,  // string-table text
  StartOutOfRange,
  EndOutOfRange,
  NeverStarts,  // a repeating entry whose next start lies after its end
  TextsTooLong,
};
// The text and caption of a refusal other than StartNotBeforeEnd.
const char* refusalText(Refusal refusal);
const char* refusalCaption(Refusal refusal);

// The answers the platform gives to the OK checks, and the warnings it shows.
// The program is looked for as the launcher's rule says (engine/launcher.h).
class EditorPlatform : public ProgramLookup {
 public:
  virtual bool directoryExists(const std::string& path) = 0;
  // No application is associated with the program (started in directory).
  virtual bool lacksAssociation(const std::string& program, const std::string& directory) = 0;
  // A warning with OK and Cancel; true for OK.
  virtual bool confirm(const std::string& text, const char* caption) = 0;
};

inline constexpr const char* kInvalidPathCaption = "Invalid Path Warning";
inline constexpr const char* kNoAssociationCaption = "No Association";

struct OkDecision {
  enum class Kind { Stay, Refuse, File };
  Kind kind = Kind::Stay;
  Refusal refusal = Refusal::None;
  ScheduleEntry entry;
  // The entry's working directory is the remembered program directory,
  // which is forgotten once the entry is filed.
  bool takesProgramDir = false;
  // The Ending fields were set to the one-time end (the dialog shows them).
  bool endFixed = false;
};

// Runs OK's checks in the mode's order and converts the fields. May fill
// programDir (Add) and rewrite the Ending fields (Once); files nothing. A
// repeating entry whose start lies before `now` is moved to its first
// occurrence after it; a one-time entry in the past stays, to start at once.
OkDecision decideOk(EntryForm& form, EditorMode mode, EditorPlatform& platform,
                    std::string& programDir, bool associationWarning, Time now);

// The conversion of the fields alone (no checks): the start at second 1 of
// its minute, the end at second 59, Weekdays and Month End moving the start
// by calendar days at the same clock time.
OkDecision convertForm(const EntryForm& form, const std::string& programDir);

// The time of one side's fields, at the given second; empty when an entry
// cannot hold it.
std::optional<Time> fieldsTime(const DateTimeFields& fields, int second);

}  // namespace kv
