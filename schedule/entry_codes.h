// The codes an entry carries, by name: how often it starts, how its window
// shows, and whether it is printed. Each has one table of its values with
// the code the schedule file stores, the name the Add dialog lists and the
// place in that list; everything that shows or reads a code reads the
// table. An entry keeps the code it was read with (ScheduleEntry), so that a
// code no table knows is kept as it is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// --- Frequency -----------------------------------------------------------------

enum class Frequency {
  Once,
  EveryMinute,
  EveryFifteenMinutes,
  Hourly,
  Daily,
  Weekdays,
  Weekly,
  Monthly,
  MonthEnd,
};

struct FrequencyRow {
  Frequency value;
  char code;  // as the schedule file stores it
  const char* name;
};

// In the order of the Add dialog's list: a value's place is its index.
inline constexpr std::array<FrequencyRow, 9> kFrequencies = {{
    {Frequency::Once, 'O', "Once"},
    {Frequency::EveryMinute, 'M', "Every Minute"},
    {Frequency::EveryFifteenMinutes, 'F', "Every 15 Minutes"},
    {Frequency::Hourly, 'H', "Hourly"},
    {Frequency::Daily, 'D', "Daily"},
    {Frequency::Weekdays, 'K', "Weekdays"},
    {Frequency::Weekly, 'W', "Weekly"},
    {Frequency::Monthly, 'T', "Monthly"},
    {Frequency::MonthEnd, 'E', "Month End"},
}};

// The place of a value in its table, which is its place in the Add
// dialog's list, and the value at a place (none outside the list).
template <typename Rows, typename Value>
constexpr int listPlaceIn(const Rows& rows, Value value) {
  int place = 0;
  while (static_cast<std::size_t>(place) < rows.size() &&
         rows[static_cast<std::size_t>(place)].value != value) {
    ++place;
  }
  return place;
}

template <typename Rows>
constexpr auto valueAtPlace(const Rows& rows, int place) -> std::optional<decltype(rows[0].value)> {
  if (place < 0 || static_cast<std::size_t>(place) >= rows.size()) return std::nullopt;
  return rows[static_cast<std::size_t>(place)].value;
}

// The names of a table in its order, as a list shows them.
template <typename Row, std::size_t N>
constexpr std::array<const char*, N> namesOf(const std::array<Row, N>& rows) {
  std::array<const char*, N> names{};
  for (std::size_t i = 0; i < N; ++i) names[i] = rows[i].name;
  return names;
}

constexpr int listPlaceOf(Frequency frequency) {
  return listPlaceIn(kFrequencies, frequency);
}
constexpr std::optional<Frequency> frequencyAtPlace(int place) {
  return valueAtPlace(kFrequencies, place);
}
// The value of a stored code; none for a code no version of Kivro writes.
std::optional<Frequency> frequencyOfCode(char code);
char codeOf(Frequency frequency);
const char* nameOf(Frequency frequency);
// The name of a stored code, "Every 15 Minutes"; a code no table knows is
// named with the code itself, "Code X".
std::string frequencyCodeName(char code);

// --- Show command: Run-Mode and Background -------------------------------------

enum class RunMode { Normal, Minimized, Maximized };

struct RunModeRow {
  RunMode value;
  const char* name;
};

// In the order of the Add dialog's list.
inline constexpr std::array<RunModeRow, 3> kRunModes = {{
    {RunMode::Normal, "Normal"},
    {RunMode::Minimized, "Minimized"},
    {RunMode::Maximized, "Maximized"},
}};

// How a started program's window shows: Run-Mode and whether it stays in
// the background (without taking the focus).
struct ShowChoice {
  RunMode mode = RunMode::Normal;
  bool background = false;
  bool operator==(const ShowChoice&) const = default;
};

struct ShowCommandRow {
  ShowChoice choice;
  std::uint16_t showCommand;  // the ShowWindow command handed to the shell and stored
};

// Every show command Kivro stores; Maximized has no background form.
inline constexpr std::array<ShowCommandRow, 5> kShowCommands = {{
    {{RunMode::Normal, false}, 1},
    {{RunMode::Minimized, false}, 2},
    {{RunMode::Maximized, false}, 3},
    {{RunMode::Normal, true}, 4},
    {{RunMode::Minimized, true}, 7},
}};

inline constexpr std::uint16_t kNormalShowCommand = 1;

// The stored show command of a choice; Maximized with Background is shown
// maximized.
std::uint16_t showCommandOf(ShowChoice choice);
// The choice of a stored show command; none for one Kivro never stores.
std::optional<ShowChoice> showChoiceOf(std::uint16_t showCommand);
const char* nameOf(RunMode mode);
constexpr int listPlaceOf(RunMode mode) {
  return listPlaceIn(kRunModes, mode);
}
constexpr std::optional<RunMode> runModeAtPlace(int place) {
  return valueAtPlace(kRunModes, place);
}
// "Normal", "Minimized, background", ...; one Kivro never stores is named by
// its number, "Show 9".
std::string showCommandName(std::uint16_t showCommand);

// --- Print flag ----------------------------------------------------------------

enum class Action { Open, Print };

struct ActionRow {
  Action value;
  char flag;  // as the schedule file stores it
  const char* name;
};

inline constexpr std::array<ActionRow, 2> kActions = {{
    {Action::Open, '0', "open"},
    {Action::Print, '1', "print"},
}};

// A flag other than the print flag opens, as it always has.
Action actionOfFlag(char flag);
char flagOf(Action action);
const char* nameOf(Action action);

}  // namespace kv
