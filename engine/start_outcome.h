// How a start ended, in the words that the history, the status bar, the
// notification, the History window and kvtool all use.
//
// A start Kivro watches leaves two lines in the history: one when it starts
// ("running"), and one when it ends ("exited 1 after 3 s"), or when Kivro
// stops watching it ("no longer watched"). Other starts leave one line:
// "handed over" (the shell gave the file to a program that was running
// already, so its end cannot be known), "skipped: still running since ...",
// or why the start failed. Histories of earlier versions say "started".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/schedule_time.h"

namespace kv {

inline constexpr std::string_view kStartedOutcome = "started";  // earlier versions
inline constexpr std::string_view kRunningOutcome = "running";
inline constexpr std::string_view kHandedOverOutcome = "handed over";
inline constexpr std::string_view kNoLongerWatchedOutcome = "no longer watched";
inline constexpr std::string_view kStillRunningText = "still running";

enum class OutcomeKind {
  Started,          // an earlier version's start: its end was never known
  Running,          // a watched start, whose end follows in a line of its own
  HandedOver,       // started, but no process to watch
  Skipped,          // not started: its previous start was still running
  Exited,           // the end of a watched start
  NoLongerWatched,  // the end of watching: Kivro ended first
  Failed,           // the start failed; the outcome says why
};

OutcomeKind outcomeKind(std::string_view outcome);

// The end of a watched start: the program's exit code and how long it ran.
struct ProgramExit {
  std::uint32_t exitCode = 0;
  Time seconds = 0;
};

// "3", or "0xC0000005" from 0xC0000000 up, where the codes of a crash are.
std::string exitCodeText(std::uint32_t exitCode);
// "3 s", "2 min 5 s", "1 h 0 min".
std::string durationText(Time seconds);
// "exited 1 after 3 s", and back.
std::string exitedText(const ProgramExit& exit);
std::optional<ProgramExit> parseExitedText(std::string_view outcome);
// "skipped: still running since 2:00:01 AM", with the time as given.
std::string skippedText(std::string_view since);

// Whether an outcome is one to tell the user of: a start that failed, or a
// program that ended with an exit code other than 0.
bool outcomeFailed(std::string_view outcome);

}  // namespace kv
