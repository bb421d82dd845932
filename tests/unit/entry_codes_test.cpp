// An entry's codes: every stored code reads back as its value and every name
// is told apart, so that a table out of step fails here.
#include "schedule/entry_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using kv::Frequency;
using kv::RunMode;
using kv::ShowChoice;

TEST(EntryCodes, EveryCodeReadsBackAsItsValueAndEveryNameIsUnique) {
  std::set<char> codes;
  std::set<std::string_view> names;
  for (const kv::FrequencyRow& row : kv::kFrequencies) {
    EXPECT_EQ(kv::frequencyOfCode(row.code), row.value) << row.name;
    EXPECT_EQ(kv::codeOf(row.value), row.code) << row.name;
    EXPECT_EQ(kv::frequencyAtPlace(kv::listPlaceOf(row.value)), row.value) << row.name;
    codes.insert(row.code);
    names.insert(row.name);
  }
  EXPECT_EQ(codes.size(), kv::kFrequencies.size());
  EXPECT_EQ(names.size(), kv::kFrequencies.size());
  for (const char unknown : {'X', 'o', '\0'}) EXPECT_FALSE(kv::frequencyOfCode(unknown));
  EXPECT_FALSE(kv::frequencyAtPlace(static_cast<int>(kv::kFrequencies.size())));

  std::set<std::string> showNames;
  for (const kv::ShowCommandRow& row : kv::kShowCommands) {
    EXPECT_EQ(kv::showChoiceOf(row.showCommand), row.choice) << row.showCommand;
    EXPECT_EQ(kv::showCommandOf(row.choice), row.showCommand) << row.showCommand;
    showNames.insert(kv::showCommandName(row.showCommand));
  }
  EXPECT_EQ(showNames.size(), kv::kShowCommands.size());
  for (const kv::RunModeRow& row : kv::kRunModes) {
    EXPECT_EQ(kv::runModeAtPlace(kv::listPlaceOf(row.value)), row.value) << row.name;
  }
  // Maximized has no background form; a show command Kivro never stores is
  // kept by its number.
  EXPECT_EQ(kv::showCommandOf(ShowChoice{RunMode::Maximized, true}), 3);
  EXPECT_FALSE(kv::showChoiceOf(9));
  EXPECT_EQ(kv::showCommandName(7), "Minimized, background");
  EXPECT_EQ(kv::showCommandName(9), "Show 9");

  for (const kv::ActionRow& row : kv::kActions) {
    EXPECT_EQ(kv::actionOfFlag(kv::flagOf(row.value)), row.value) << row.name;
  }
  EXPECT_EQ(kv::actionOfFlag('x'), kv::Action::Open);
}

}  // namespace
