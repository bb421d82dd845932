// The command line of kvtool, and the local date and time texts it reads
// and writes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/recurrence.h"
#include "schedule/entry_line.h"

namespace kv::tool {

enum class Command { Help, Version, List, Next, Check, History };
enum class Format { Text, Tsv };

// Exit statuses: done (for check: a file that loads as it stands), a file
// that a load would change (for history --failed: a start found that needs
// attention), and a command line or file that could not be used.
inline constexpr int kExitDone = 0;
inline constexpr int kExitLoadsAsItStands = kExitDone;
inline constexpr int kExitLoadChanges = 1;
inline constexpr int kExitFailedStarts = 1;
inline constexpr int kExitFailure = 2;

inline constexpr std::size_t kDefaultCount = 10;

// The file name that reads the schedule from standard input.
inline constexpr std::string_view kStandardInput = "-";

// Whether history without a file reads kv.exe's own history: only kvtool.exe
// knows where that is.
#ifdef _WIN32
inline constexpr bool kDefaultHistoryKnown = true;
#else
inline constexpr bool kDefaultHistoryKnown = false;
#endif

struct Options {
  Command command = Command::Help;
  std::string file;  // history: empty for kv.exe's own history
  Format format = Format::Text;
  // next: at most this many starts; none given, kDefaultCount without
  // --until and no cap with it. history: the last this many; all when absent.
  std::optional<std::size_t> count;
  std::optional<Time> from;   // next: the load time; now when absent
  std::optional<Time> until;  // next: no start after it is shown
  std::optional<Time> at;     // check: the time of the load; now when absent
  // next and check: RunOnce with --missed-starts, as kv.exe loads with
  // Run Missed Starts on.
  MissedStarts missedStarts = MissedStarts::Skip;
  // next and check with --missed-starts: the record of the starts kv.exe
  // dealt with (--record); none given, kvtool.exe reads kv.exe's own.
  std::optional<std::string> record;
  // list, next and check: the code page of a file of an earlier version,
  // which is not UTF-8; 0 for the default (tool/legacy_text.h).
  unsigned codePage = 0;
  std::optional<Time> since;  // history: no attempt before it is shown
  bool failedOnly = false;    // history: only the starts that need attention
};

// The options, or a one-line reason why the command line cannot be used.
using ParsedArguments = std::variant<Options, std::string>;

// The arguments after the program's name. `defaultHistory`: whether history
// may be given no file.
ParsedArguments parseArguments(const std::vector<std::string_view>& args,
                               bool defaultHistory = kDefaultHistoryKnown);

// "2026-03-29T02:30", "2026-03-29T02:30:15", the same with a blank for the T,
// or a date alone (midnight), in local time. A clock time shown twice gives
// its first instant; one inside a skipped hour moves an hour later, as the
// recurrence treats it. Empty for anything else.
std::optional<Time> parseLocalTime(std::string_view text);

// "2026-03-29T03:30:01": the local date and time to the second.
std::string isoLocalTime(Time t);
// "2026-03-29 03:30": the local date and time to the minute, as a person
// reads a schedule.
std::string shortLocalTime(Time t);
// "2026-03-29 03:30", or "2026-03-29 03:30:15" when the seconds are not 0:
// a time as a person would type it.
std::string localTimeText(Time t);

extern const char kHelpText[];

}  // namespace kv::tool
