#include "schedule/entry_codes.h"

#include <algorithm>

namespace kv {
namespace {

template <typename Rows, typename Matches>
auto findRow(const Rows& rows, Matches matches) {
  return std::find_if(rows.begin(), rows.end(), matches);
}

template <typename Rows, typename Value>
const auto& rowOf(const Rows& rows, Value value) {
  return rows[static_cast<std::size_t>(listPlaceIn(rows, value))];
}

}  // namespace

std::optional<Frequency> frequencyOfCode(char code) {
  const auto row = findRow(kFrequencies, [code](const FrequencyRow& r) { return r.code == code; });
  if (row == kFrequencies.end()) return std::nullopt;
  return row->value;
}

char codeOf(Frequency frequency) {
  return rowOf(kFrequencies, frequency).code;
}

const char* nameOf(Frequency frequency) {
  return rowOf(kFrequencies, frequency).name;
}

std::string frequencyCodeName(char code) {
  if (const std::optional<Frequency> frequency = frequencyOfCode(code)) {
    return nameOf(*frequency);
  }
  return "Code " + std::string(1, code);
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

const char* nameOf(RunMode mode) {
  return rowOf(kRunModes, mode).name;
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
  return rowOf(kActions, action).flag;
}

const char* nameOf(Action action) {
  return rowOf(kActions, action).name;
}

}  // namespace kv
