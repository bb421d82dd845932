#include "app/command_state.h"

namespace kv {

bool hasSelection(const CommandState& state) {
  return state.rowSelected;
}

bool hasClip(const CommandState& state) {
  return state.clipFull;
}

bool hasFileName(const CommandState& state) {
  return !state.untitled;
}

bool mayToggleStartAtLogon(const CommandState& state) {
  return !state.untitled || state.startsAtLogon;
}

bool startsAtLogon(const CommandState& state) {
  return state.startsAtLogon;
}

}  // namespace kv
