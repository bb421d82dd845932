// When the menu's items can be used and which carry a check mark, over the
// states the program can be in.
#include "app/command_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kv::CommandState;

// The rules of one state, as a row of letters: Save, the selection items,
// Paste, Start at Logon usable, Start at Logon checked, the three flags.
std::string rulesOf(const CommandState& s) {
  const kv::StateRule rules[] = {kv::hasFileName,
                                 kv::hasSelection,
                                 kv::hasClip,
                                 kv::mayToggleStartAtLogon,
                                 kv::startsAtLogon,
                                 kv::isOn<kv::kAssociationWarning>,
                                 kv::isOn<kv::kHideIcon>,
                                 kv::isOn<kv::kRunMissedStarts>};
  std::string row;
  for (const kv::StateRule rule : rules) row += rule(s) ? 'x' : '.';
  return row;
}

CommandState stateWith(bool selected, bool clip, bool untitled, bool atLogon) {
  CommandState state;
  state.rowSelected = selected;
  state.clipFull = clip;
  state.untitled = untitled;
  state.startsAtLogon = atLogon;
  return state;
}

TEST(CommandState, EachItemIsUsableAndCheckedByItsOwnPartOfTheState) {
  CommandState flags = stateWith(false, false, false, false);
  flags.settings.associationWarning = false;
  flags.settings.hideIcon = true;
  flags.settings.runMissedStarts = true;
  const struct {
    const char* what;
    CommandState state;
    const char* rules;
  } cases[] = {
      {"a new untitled schedule", stateWith(false, false, true, false), ".....x.."},
      {"a saved schedule, a row selected", stateWith(true, false, false, false), "xx.x.x.."},
      {"after Copy, nothing selected", stateWith(false, true, false, false), "x.xx.x.."},
      {"after New while starting at logon: it can still be turned off",
       stateWith(false, false, true, true), "...xxx.."},
      {"saved and starting at logon", stateWith(false, false, false, true), "x..xxx.."},
      {"the flags as stored", flags, "x..x..xx"},
  };
  for (const auto& c : cases) EXPECT_EQ(rulesOf(c.state), c.rules) << c.what;
}

}  // namespace
