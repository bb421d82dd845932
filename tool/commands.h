// The three commands of kvtool, over the bytes of a schedule file. A file
// that is not UTF-8 is one of an earlier version: `legacy` reads it in its
// code page, as kv.exe reads it in the ANSI code page of the machine.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/recurrence.h"
#include "schedule/entry_line.h"
#include "tool/arguments.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"
#include "tool/terminal_text.h"

namespace kv::tool {

// The version text of the schedule files that kv.exe writes.
inline constexpr std::string_view kVersionText = "3.0";

// The name of a stored Frequency code, "Every 15 Minutes"; a code the
// program does not know is named with the code itself, "Code X".
std::string frequencyName(char code);
// "Normal", "Minimized, background", ...; a show command the program never
// stores is named by its number.
std::string showModeName(std::uint16_t showCommand);

// Whether the program or document of an entry can be started. Only Windows
// can tell; elsewhere no checker is given.
class ProgramChecks {
 public:
  enum class Result { Startable, NotFound, NoAssociation };
  virtual ~ProgramChecks() = default;
  virtual Result check(std::string_view programPart, std::string_view workingDirectory) = 0;
};

// What list and next found besides the lines they wrote.
struct Written {
  // False when the bytes do not look like a schedule file, and nothing was
  // written. They do when they begin with the current header, hold no line
  // at all (an empty schedule), or hold a line that begins with the two
  // times that every entry line of either layout begins with. Anything else,
  // a binary file among them, would load as entries made up of nothing.
  bool schedule = true;
  // An empty result said in words ("no entries"), for standard error;
  // empty when there were lines to write.
  std::string note;
};

// list: every entry in due order as stored; in tsv under a row of column
// names, with the description the file holds (none rather than the default).
Written writeList(std::string_view bytes, Format format, std::ostream& out,
                  const LegacyTextReader& legacy = utf8FromWindows1252);

struct NextRequest {
  Time from = 0;  // the load time
  std::optional<Time> until;
  std::optional<std::size_t> count = kDefaultCount;  // empty: no cap
  Format format = Format::Text;
  MissedStarts missedStarts = MissedStarts::Skip;
  // The starts kv.exe dealt with already (its record), which are no missed
  // starts; none when empty.
  HandledThrough handled = {};
};

// next: the schedule loaded at `from`, then its starts in time order, each
// entry filed again after its start as the due check does. An entry still
// behind the load time, a missed start, starts once at the load time and is
// marked so; with RunOnce, tsv shows its missed start in a last column.
Written writeNext(std::string_view bytes, const NextRequest& request, std::ostream& out,
                  const LegacyTextReader& legacy = utf8FromWindows1252);

// check: what a load at `now` would cut, change or drop, one line per
// finding, "<name>:<line>: <text>", and a last line that sums up. Notes on
// the missed starts that the load, or one with RunOnce, would start once,
// and on the starts kv.exe dealt with already (`handled`, which may be
// empty), leave the result as it is. Returns kExitLoadsAsItStands or
// kExitLoadChanges. `programs` may be null. A file read in its code page
// gets a note: a save by kv.exe writes it in UTF-8.
int writeCheck(std::string_view bytes, std::string_view name, Time now, MissedStarts missed,
               const HandledThrough& handled, ProgramChecks* programs, std::ostream& out,
               const LegacyTextReader& legacy = utf8FromWindows1252);
// The same for a load with Run Missed Starts off, kv.exe's default.
int writeCheck(std::string_view bytes, std::string_view name, Time now, ProgramChecks* programs,
               std::ostream& out, const LegacyTextReader& legacy = utf8FromWindows1252);

}  // namespace kv::tool
