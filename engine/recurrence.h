// Moving an entry along its recurrence.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "schedule/entry_line.h"
#include "schedule/packed_lines.h"

namespace kv {

// The functions below take an entry's stored Frequency code (see
// schedule/entry_codes.h); a code no version of Kivro writes starts once.
bool isRecurring(char code);

// The next start after a launch at `start`: one step of the frequency, or
// `start` itself for Once and unknown codes and when the step would leave
// the 32-bit range.
// Every Minute, Every 15 Minutes and Hourly step by elapsed seconds; the
// day-based codes keep the local clock time across daylight-saving changes.
// Month End goes to the last day of the month after the start's month.
Time nextStart(char code, Time start);

// The first occurrence of the entry's recurrence strictly after `after`
// (for a start already after it, the start itself). Once, unknown codes and
// a recurrence with no occurrence left in the 32-bit range give `start`.
// The day-based codes jump over a long gap by the calendar from the start's
// own clock time, then step.
Time firstOccurrenceAfter(char code, Time start, Time after);

// Re-file after a launch: the entry with its next start when it is to stay
// in the schedule, or nothing when it leaves.
std::optional<ScheduleEntry> refileAfterLaunch(const ScheduleEntry& launched);

// Re-file after a launch that passes over every further occurrence up to
// `after`: the entry under its first occurrence after `after`, under the
// same terms as refileAfterLaunch.
std::optional<ScheduleEntry> refileAfter(const ScheduleEntry& launched, Time after);

// Catch-up on load: drops an entry that can no longer run (a repeating one
// whose start, once brought up to date, lies after its end, included) or
// brings a past start up to its first occurrence after the load time. `now` is the clock
// read for the Once test, `loadTime` the time read when the load began.
// With MissedStarts, an entry whose start passed while the schedule was not
// loaded keeps that start instead, so that the first due check starts it
// once: a repeating one, and a one-time one whose end has not passed.
enum class MissedStarts { Skip, RunOnce };
// The time up to which Kivro has dealt with the starts of an entry that
// it ran before (started one and passed over the others), if it has: those
// starts are never missed ones, whatever start the file still holds for
// the entry (the schedule need not have been saved since). Empty: none.
using HandledThrough = std::function<std::optional<Time>(const ScheduleEntry&)>;
// An entry whose start is not after the load is first moved past the
// starts Kivro dealt with already: a one-time entry that ran is dropped.
std::optional<ScheduleEntry> catchUpOnLoad(const ScheduleEntry& entry, Time loadTime, Time now,
                                           MissedStarts missed = MissedStarts::Skip,
                                           const HandledThrough& handled = {});

// The lines to store for the entries of a loaded file: each entry through
// catchUpOnLoad, composed, in file order; dropped entries are left out.
std::vector<EntryLine> catchUpLoadedEntries(const std::vector<ScheduleEntry>& entries,
                                            Time loadTime, Time now,
                                            MissedStarts missed = MissedStarts::Skip,
                                            const HandledThrough& handled = {});
// The same for a schedule file's bytes, its entries read one at a time and
// each line packed as soon as it is composed, so that only the packed lines
// are held: no allocation per entry.
PackedLines catchUpScheduleFile(std::string_view bytes, std::string_view versionText, Time loadTime,
                                Time now, MissedStarts missed = MissedStarts::Skip,
                                const HandledThrough& handled = {});

}  // namespace kv
