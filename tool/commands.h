// The three commands of kvtool, over the bytes of a schedule file.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "schedule/entry_line.h"
#include "tool/arguments.h"

namespace kv::tool {

// The version text of the schedule files that kv.exe writes.
inline constexpr std::string_view kVersionText = "3.0";

// "Every 15 Minutes" for 'F'; a code the program does not know is named with
// the code itself.
std::string frequencyName(char frequency);
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

// list: every entry in due order as stored.
void writeList(std::string_view bytes, Format format, std::ostream& out);

struct NextRequest {
  Time from = 0;  // the load time
  std::optional<Time> until;
  std::size_t count = kDefaultCount;
  Format format = Format::Text;
};

// next: the schedule loaded at `from`, then its starts in time order, each
// entry filed again after its start as the due check does.
void writeNext(std::string_view bytes, const NextRequest& request, std::ostream& out);

// check: what a load at `now` would cut, change or drop, one line per
// finding, "<name>:<line>: <text>", and a last line that sums up. Returns
// kExitLoadsAsItStands or kExitLoadChanges. `programs` may be null.
int writeCheck(std::string_view bytes, std::string_view name, Time now, ProgramChecks* programs,
               std::ostream& out);

}  // namespace kv::tool
