// The record of the starts Kivro has dealt with, kept apart from the
// schedule files: for each entry of each schedule, the time up to which the
// due check started or passed over its starts. A load reads it so that a
// start Kivro ran is never taken for a missed one, whether the schedule was
// saved since or not, and whether Kivro ended cleanly or was killed.
//
// A UTF-8 tab-separated file, one line for every start the due check dealt
// with, appended to as it happens:
//
//   handled  schedule  description  command  directory
//
// with the time as in the history (2026-12-09T02:00:01+01:00) and the
// texts escaped as there. The newest line of an entry holds; a record that
// grows large is compacted to the newest line of each entry.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/history.h"
#include "engine/recurrence.h"
#include "schedule/entry_line.h"

namespace kv {

inline constexpr std::string_view kHandledStartsHeader =
    "handled\tschedule\tdescription\tcommand\tdirectory";

// The line saying that the entry's starts up to `through` are dealt with,
// without its line end.
std::string handledStartLine(Time through, std::string_view schedule, const ScheduleEntry& entry);

// The starts of one schedule's entries that Kivro dealt with, as a record's
// lines tell them. Schedule names compare with the case of ASCII letters
// ignored, as Windows compares paths.
class HandledStarts {
 public:
  HandledStarts(std::string_view recordBytes, std::string_view schedule);

  bool empty() const { return through_.empty(); }
  // When the entry's starts were last dealt with, if ever.
  std::optional<Time> handledThrough(const ScheduleEntry& entry) const;

 private:
  static std::string keyOf(const ScheduleEntry& entry);

  // The escaped description, command and directory, tab-separated.
  std::unordered_map<std::string, Time> through_;
};

// The lookup a load takes; none at all when nothing of the schedule was
// dealt with, so that such a load costs nothing more.
HandledThrough handledThroughLookup(std::shared_ptr<const HandledStarts> starts);

// The record with only the newest line of each entry of each schedule,
// under the header; lines that are no record are left out.
std::string compactHandledStarts(std::string_view recordBytes);

}  // namespace kv
