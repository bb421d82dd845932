// What the menu's grey states and check marks depend on, as one value that
// the application builds in one place, and the rules that read it. The
// command table names a rule for each item; no rule needs a window.
#pragma once

#include "app/settings.h"

namespace kv {

struct CommandState {
  bool rowSelected = false;
  bool clipFull = false;       // Cut or Copy has filled the clip buffer
  bool untitled = true;        // the schedule has no file name yet
  bool startsAtLogon = false;  // the Run value starts this program
  Settings settings;           // the Configure menu's flags
};

using StateRule = bool (*)(const CommandState& state);

// Edit, Delete, Cut, Copy and Test Entry work on the selected row.
bool hasSelection(const CommandState& state);
// Paste needs a Cut or Copy first.
bool hasClip(const CommandState& state);
// Save needs a file name; Save As and the rest never wait for one.
bool hasFileName(const CommandState& state);
// Start at Logon is turned on only for a saved schedule, but can always be
// turned off, an untitled schedule's (after New) included.
bool mayToggleStartAtLogon(const CommandState& state);
bool startsAtLogon(const CommandState& state);

// A setting the Configure menu switches: its item's text, its key in KV.INI
// and where it is held.
struct FlagSetting {
  const char* text;
  const char* key;
  bool Settings::*value;
};
inline constexpr FlagSetting kAssociationWarning{"&Association Warning", kAssociationWarningKey,
                                                 &Settings::associationWarning};
inline constexpr FlagSetting kHideIcon{"&Hide Icon", kHideIconKey, &Settings::hideIcon};
inline constexpr FlagSetting kRunMissedStarts{"&Run Missed Starts", kMissedStartsKey,
                                              &Settings::runMissedStarts};
inline constexpr FlagSetting kSkipWhileRunning{"S&kip Starts While Running", kSkipWhileRunningKey,
                                               &Settings::skipWhileRunning};
inline constexpr FlagSetting kNotifyOnFailure{"&Notify on Failure", kNotifyOnFailureKey,
                                              &Settings::notifyOnFailure};
inline constexpr FlagSetting kWakeToRun{"&Wake the Computer to Run", kWakeToRunKey,
                                        &Settings::wakeToRun};

template <const FlagSetting& flag>
bool isOn(const CommandState& state) {
  return state.settings.*flag.value;
}

// The View menu's radio items: the view the entries are listed in.
template <ListView view>
bool isView(const CommandState& state) {
  return state.settings.view == view;
}

}  // namespace kv
