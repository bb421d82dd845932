// The history of starts: one line for every start Kivro attempts, in a
// UTF-8 tab-separated file that kv.exe appends to and kvtool reads.
//
//   time  due  schedule  description  command  directory  action  show  result  outcome
//
// Times are local, ISO 8601 with the zone's offset (2026-12-09T02:00:01+01:00).
// A tab, a line end or any other control character in a text is written as
// \xNN, and so is a backslash that comes before an "x", so that every
// attempt is one line and every text reads back as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/start_outcome.h"
#include "schedule/entry_line.h"

namespace kv {

inline constexpr std::string_view kHistoryHeader =
    "time\tdue\tschedule\tdescription\tcommand\tdirectory\taction\tshow\tresult\toutcome";
struct HistoryRecord {
  Time attempted = 0;  // when the start was attempted
  Time due = 0;        // the start it was due for
  std::string schedule;
  std::string description;
  std::string commandLine;
  std::string workingDirectory;
  bool print = false;  // printed rather than opened
  int showCommand = 1;
  unsigned result = 0;  // the shell's result code, or 999
  std::string outcome;  // in words: see engine/start_outcome.h

  // The start itself failed.
  bool failed() const { return outcomeKind(outcome) == OutcomeKind::Failed; }
  // The user is to hear of it: the start failed, or the program ended with
  // an exit code other than 0.
  bool needsAttention() const { return outcomeFailed(outcome); }
};

// The record of one attempt to start the entry, with the outcome in words:
// "running" for a start whose process Kivro watches, "handed over" for one
// without a process, or why it failed.
HistoryRecord historyRecord(const ScheduleEntry& entry, Time attempted, unsigned result,
                            std::string_view schedule, bool watched = true);
// The record of a start that was not made: its previous start still runs.
HistoryRecord skippedRecord(const ScheduleEntry& entry, Time attempted, std::string_view schedule,
                            std::string_view runningSince);
// The line that ends a watched start's record: the start's own fields, so
// that a reader can tie the two, with the end's outcome.
HistoryRecord endRecord(const HistoryRecord& start, std::string_view outcome);

// A start with its end, when the history holds one.
struct HistoryStart {
  HistoryRecord start;
  std::optional<HistoryRecord> end;

  // What became of it: the end's outcome, "still running" for a watched
  // start whose end is not known yet, or the start's own outcome.
  std::string outcome() const;
  bool needsAttention() const { return outcomeFailed(outcome()); }
};

// Each end tied to the latest start before it that it ends, oldest first.
// An end whose start is no longer in the history stands alone.
std::vector<HistoryStart> joinStartsAndEnds(std::vector<HistoryRecord> records);
// Each start once, oldest first, as joinStartsAndEnds ties them, with what
// became of it (HistoryStart::outcome) as its outcome: one row a start.
std::vector<HistoryRecord> startsWithOutcomes(std::vector<HistoryRecord> records);

// A text as one tab-separated field (control characters as \xNN), and back.
std::string escapedField(std::string_view text);
std::string unescapedField(std::string_view field);
// The fields of a line, split at every tab.
std::vector<std::string_view> tabSeparatedFields(std::string_view line);

// The line of a record, without its line end.
std::string historyLine(const HistoryRecord& record);
// A line back as a record; empty for the header or a line
// that is no record.
std::optional<HistoryRecord> parseHistoryLine(std::string_view line);
// Every record of a history file's bytes, oldest first.
std::vector<HistoryRecord> parseHistory(std::string_view bytes);

// "2026-12-09T02:00:01+01:00" for the local time of t, and back.
std::string isoTimeWithOffset(Time t);
std::optional<Time> parseIsoTimeWithOffset(std::string_view text);

}  // namespace kv
