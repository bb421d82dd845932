#include "schedule/entry_codes.h"

#include <algorithm>

namespace kv {
namespace {

template <typename Rows, typename Matches>
auto findRow(const Rows& rows, Matches matches) {
  return std::find_if(rows.begin(), rows.end(), matches);
}

template <typename Rows, typename Value>
int placeIn(const Rows& rows, Value value) {
  const auto row = findRow(rows, [value](const auto& r) { return r.value == value; });
  return static_cast<int>(row - rows.begin());
}

template <typename Rows>
auto valueAtPlace(const Rows& rows, int place) -> std::optional<decltype(rows[0].value)> {
  if (place < 0 || static_cast<std::size_t>(place) >= rows.size()) return std::nullopt;
  return rows[static_cast<std::size_t>(place)].value;
}

}  // namespace

std::optional<Frequency> frequencyOfCode(char code) {
  const auto row = findRow(kFrequencies, [code](const FrequencyRow& r) { return r.code == code; });
  if (row == kFrequencies.end()) return std::nullopt;
  return row->value;
}

char codeOf(Frequency frequency) {
  return kFrequencies[static_cast<std::size_t>(listPlaceOf(frequency))].code;
}

std::string_view nameOf(Frequency frequency) {
  return kFrequencies[static_cast<std::size_t>(listPlaceOf(frequency))].name;
}

int listPlaceOf(Frequency frequency) {
  return placeIn(kFrequencies, frequency);
}

std::optional<Frequency> frequencyAtPlace(int place) {
  return valueAtPlace(kFrequencies, place);
}

std::uint16_t showCommandOf(ShowChoice choice) {
  if (choice.mode == RunMode::Maximized) choice.background = false;
  const auto row =
      findRow(kShowCommands, [choice](const ShowCommandRow& r) { return r.choice == choice; });
  return row == kShowCommands.end() ? kNormalShowCommand : row->showCommand;
}

std::optional<ShowChoice> showChoiceOf(std::uint16_t showCommand) {
  const auto row = findRow(kShowCommands, [showCommand](const ShowCommandRow& r) {
    return r.showCommand == showCommand;
  });
  if (row == kShowCommands.end()) return std::nullopt;
  return row->choice;
}

std::string_view nameOf(RunMode mode) {
  return kRunModes[static_cast<std::size_t>(listPlaceOf(mode))].name;
}

int listPlaceOf(RunMode mode) {
  return placeIn(kRunModes, mode);
}

std::optional<RunMode> runModeAtPlace(int place) {
  return valueAtPlace(kRunModes, place);
}

std::string showCommandName(std::uint16_t showCommand) {
  const std::optional<ShowChoice> choice = showChoiceOf(showCommand);
  if (!choice) return "Show " + std::to_string(showCommand);
  std::string name(nameOf(choice->mode));
  if (choice->background) name += ", background";
  return name;
}

Action actionOfFlag(char flag) {
  const auto row = findRow(kActions, [flag](const ActionRow& r) { return r.flag == flag; });
  return row == kActions.end() ? Action::Open : row->value;
}

char flagOf(Action action) {
  return kActions[static_cast<std::size_t>(placeIn(kActions, action))].flag;
}

std::string_view nameOf(Action action) {
  return kActions[static_cast<std::size_t>(placeIn(kActions, action))].name;
}

}  // namespace kv
