#include "tool/arguments.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "engine/calendar.h"
#include "locale/date_time_text.h"

namespace kv::tool {

const char kHelpText[] =
    "Usage: kvtool COMMAND FILE [OPTIONS]\n"
    "       kvtool --help | --version\n"
    "\n"
    "Reads a Kivro schedule file (*.KV) the way kv.exe loads it, or the history\n"
    "of the starts kv.exe attempted; FILE '-' reads standard input. Times are\n"
    "local times of this machine (TZ on Linux).\n"
    "\n"
    "Commands:\n"
    "  list FILE [--format=tsv] [--code-page N]\n"
    "      Every entry in due order, as stored (nothing is caught up): start,\n"
    "      frequency, end, show mode, open or print, command line, [working\n"
    "      directory], description. --format=tsv gives the same fields\n"
    "      tab-separated under a row of column names, with the times as\n"
    "      2026-01-05T09:00:01 and a description the file leaves empty as empty.\n"
    "  next FILE [--count N] [--from TIME] [--until TIME]\n"
    "            [--missed-starts [--record RECORD]] [--format=tsv] [--code-page N]\n"
    "      The starts of all entries in time order, as kv.exe would start them\n"
    "      after loading the file at --from (default now): the next 10, or N\n"
    "      with --count; with --until (not before the load time) every start\n"
    "      up to that time, at most N with --count as well.\n"
    "      --missed-starts loads as kv.exe does with Run Missed Starts on: an\n"
    "      entry whose start passed before the load starts once at the load\n"
    "      time, marked (missed start TIME, run at load), in tsv with TIME in\n"
    "      a last column, missed; it goes on at its first start after that.\n"
    "      Starts that kv.exe already started or passed over are no missed\n"
    "      starts, whether the file was saved since or not: kv.exe keeps them\n"
    "      in a record: kvtool.exe reads %LOCALAPPDATA%\\Kivro\\handled.tsv,\n"
    "      or the file that --record names (on Linux, only that one).\n"
    "  check FILE [--at TIME] [--missed-starts [--record RECORD]] [--code-page N]\n"
    "      Reports, by line number, what loading the file at TIME (default now)\n"
    "      would cut, change or drop, and entries that cannot run as they\n"
    "      stand. Exit status 0: the file loads as it stands; 1: a load would\n"
    "      lose or change something; 2: the file cannot be read.\n"
    "      --missed-starts checks a load with Run Missed Starts on: notes,\n"
    "      which leave the exit status as it is, name each start that passed\n"
    "      before TIME and that such a load runs once, and each entry whose\n"
    "      starts kv.exe dealt with already (the record, as for next); a\n"
    "      one-time entry is kept until its end, or until kv.exe started it.\n"
    "  history [FILE] [--since TIME] [--failed] [--count N] [--format=tsv]\n"
    "      The starts kv.exe attempted, oldest first, one line each: attempt\n"
    "      time, description, command line and what became of it: exited 1\n"
    "      after 3 s (its exit code, 0xC0000005 for a crash, and how long it\n"
    "      ran), still running, no longer watched (kv.exe ended first), handed\n"
    "      over (to a program already running), skipped: still running since\n"
    "      ..., why the start failed, or started (histories of earlier\n"
    "      versions). Without FILE kvtool.exe reads history.1.tsv, if there is\n"
    "      one, and history.tsv in %LOCALAPPDATA%\\Kivro; on Linux FILE is\n"
    "      required. --since: only starts attempted at or after TIME; --failed:\n"
    "      only those that failed or exited with a code other than 0; --count\n"
    "      N: the last N of those; --format=tsv: every field, tab-separated,\n"
    "      under a row of column names. Exit status 1 when --failed finds one.\n"
    "\n"
    "TIME is a local date and time: 2026-03-29T02:30, 2026-03-29T02:30:15 or\n"
    "2026-03-29 (midnight), from 1970-01-01 to 2106-02-07 (the exact bounds\n"
    "depend on the time zone; a time outside them is refused with them).\n"
    "\n"
    "Schedule files and the history are UTF-8. A schedule file that is not\n"
    "UTF-8 was written by an earlier version of Kivro, in the ANSI code page of\n"
    "its machine: kvtool.exe reads it in this machine's, the Linux kvtool in\n"
    "Windows-1252; --code-page N names another (on Linux 874, 1250 to 1254,\n"
    "1256 or 1257). Texts are written as UTF-8 to files and pipes, and to a\n"
    "console by kvtool.exe as its characters; control characters as \\xNN. An\n"
    "empty result is said on standard error. A file that is no schedule\n"
    "(list, next) or no history is refused, status 2.\n"
    "\n"
    "Example, on the schedule that comes with Kivro:\n"
    "  kvtool next \"My Schedule.KV\" --count 5\n"
    "\n"
    "A wrong command line, or a file that cannot be read, ends with exit status 2.\n";

namespace {

struct CommandName {
  std::string_view name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"list", Command::List},
    {"next", Command::Next},
    {"check", Command::Check},
    {"history", Command::History},
};

std::optional<Command> commandNamed(std::string_view name) {
  for (const CommandName& c : kCommands) {
    if (c.name == name) return c.command;
  }
  return std::nullopt;
}

std::string_view nameOf(Command command) {
  for (const CommandName& c : kCommands) {
    if (c.command == command) return c.name;
  }
  return "kvtool";
}

// Which options a command takes.
bool takesOption(Command command, std::string_view option) {
  if (option == "--format") {
    return command == Command::List || command == Command::Next || command == Command::History;
  }
  if (option == "--count") return command == Command::Next || command == Command::History;
  if (option == "--from" || option == "--until") return command == Command::Next;
  if (option == "--at") return command == Command::Check;
  if (option == "--missed-starts" || option == "--record") {
    return command == Command::Next || command == Command::Check;
  }
  if (option == "--since" || option == "--failed") return command == Command::History;
  if (option == "--code-page") {
    return command == Command::List || command == Command::Next || command == Command::Check;
  }
  return false;
}

// An option that stands alone, with no value.
bool isFlag(std::string_view option) {
  return option == "--missed-starts" || option == "--failed";
}

void applyFlag(Options& options, std::string_view option) {
  if (option == "--missed-starts") options.missedStarts = MissedStarts::RunOnce;
  if (option == "--failed") options.failedOnly = true;
}

bool isHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h" || arg == "help";
}

bool isVersion(std::string_view arg) {
  return arg == "--version";
}

// The value of a text of digits only; callers keep it to nine digits, which
// an int holds.
std::optional<int> digitsValue(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Digits only, exactly `width` of them.
std::optional<int> fixedNumber(std::string_view text, std::size_t width) {
  if (text.size() != width) return std::nullopt;
  return digitsValue(text);
}

std::optional<std::size_t> positiveCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  const std::optional<int> value = digitsValue(text);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<std::size_t>(*value);
}

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// The calendar fields of a TIME text, not yet checked to be a real date.
std::optional<LocalTime> localTimeFields(std::string_view text) {
  // YYYY-MM-DD, then optionally T or a blank and HH:MM, then optionally :SS.
  if (text.size() != 10 && text.size() != 16 && text.size() != 19) return std::nullopt;
  if (text[4] != '-' || text[7] != '-') return std::nullopt;
  LocalTime fields;
  const std::optional<int> year = fixedNumber(text.substr(0, 4), 4);
  const std::optional<int> month = fixedNumber(text.substr(5, 2), 2);
  const std::optional<int> day = fixedNumber(text.substr(8, 2), 2);
  if (!year || !month || !day) return std::nullopt;
  fields.year = *year;
  fields.month = *month;
  fields.day = *day;
  fields.hour = fields.minute = fields.second = 0;
  if (text.size() > 10) {
    if ((text[10] != 'T' && text[10] != ' ') || text[13] != ':') return std::nullopt;
    const std::optional<int> hour = fixedNumber(text.substr(11, 2), 2);
    const std::optional<int> minute = fixedNumber(text.substr(14, 2), 2);
    if (!hour || !minute) return std::nullopt;
    fields.hour = *hour;
    fields.minute = *minute;
  }
  if (text.size() == 19) {
    if (text[16] != ':') return std::nullopt;
    const std::optional<int> second = fixedNumber(text.substr(17, 2), 2);
    if (!second) return std::nullopt;
    fields.second = *second;
  }
  return fields;
}

bool clockBefore(const LocalTime& a, const LocalTime& b) {
  const int fa[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
  const int fb[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
  return std::lexicographical_compare(std::begin(fa), std::end(fa), std::begin(fb), std::end(fb));
}

// The local clock readings of the first and the last second that a Time
// holds, when the fields lie outside them.
std::optional<std::string> outsideTimeRange(const LocalTime& fields) {
  const Time first = 0;
  const Time last = std::numeric_limits<Time>::max();
  if (!clockBefore(fields, toLocalTime(first)) && !clockBefore(toLocalTime(last), fields)) {
    return std::nullopt;
  }
  return localTimeText(first) + " to " + localTimeText(last);
}

// Each option below applies its value to the options, or gives the reason
// why the value cannot be used.

std::optional<std::string> applyFormat(Options& options, std::string_view value) {
  if (value == "text") {
    options.format = Format::Text;
  } else if (value == "tsv") {
    options.format = Format::Tsv;
  } else {
    return "--format is text or tsv, not " + quoted(value);
  }
  return std::nullopt;
}

std::optional<std::string> applyCount(Options& options, std::string_view value) {
  const std::optional<std::size_t> count = positiveCount(value);
  if (!count) return "--count needs a whole number from 1 up, not " + quoted(value);
  options.count = *count;
  return std::nullopt;
}

// Why a TIME value is refused: out of the range of a Time, or not a date
// and time at all.
std::string timeRefused(std::string_view option, std::string_view value,
                        const std::optional<LocalTime>& fields) {
  if (const std::optional<std::string> range = fields ? outsideTimeRange(*fields) : std::nullopt) {
    return std::string(option) + ": " + std::string(value) + " is outside " + *range +
           ", the times kvtool can represent";
  }
  return std::string(option) + " needs a local date and time such as 2026-03-29T02:30, not " +
         quoted(value);
}

// --from, --until, --at and --since.
std::optional<std::string> applyTime(Options& options, std::string_view option,
                                     std::string_view value) {
  const std::optional<LocalTime> fields = localTimeFields(value);
  const std::optional<Time> time = fields ? fromLocalClock(*fields) : std::nullopt;
  if (!time) return timeRefused(option, value, fields);
  if (option == "--from") options.from = time;
  if (option == "--until") options.until = time;
  if (option == "--at") options.at = time;
  if (option == "--since") options.since = time;
  return std::nullopt;
}

std::optional<std::string> applyCodePage(Options& options, std::string_view value) {
  const std::optional<std::size_t> page = positiveCount(value);
  if (!page || *page > 65535) return "--code-page needs a code page number, not " + quoted(value);
  options.codePage = static_cast<unsigned>(*page);
  return std::nullopt;
}

std::optional<std::string> applyRecord(Options& options, std::string_view value) {
  if (value.empty()) return std::string("--record needs a file name");
  options.record = std::string(value);
  return std::nullopt;
}

std::optional<std::string> applyOption(Options& options, std::string_view option,
                                       std::string_view value) {
  if (option == "--format") return applyFormat(options, value);
  if (option == "--count") return applyCount(options, value);
  if (option == "--record") return applyRecord(options, value);
  if (option == "--code-page") return applyCodePage(options, value);
  return applyTime(options, option, value);
}

// --help or --version anywhere asks for that alone; the first of them counts.
std::optional<Options> helpOrVersion(const std::vector<std::string_view>& args) {
  for (std::string_view arg : args) {
    if (isHelp(arg)) return Options{};
    if (isVersion(arg)) {
      Options version;
      version.command = Command::Version;
      return version;
    }
  }
  return std::nullopt;
}

// The arguments after the command's name, taken one at a time.
class ArgumentsAfterCommand {
 public:
  explicit ArgumentsAfterCommand(const std::vector<std::string_view>& args) : args_(args) {}
  bool empty() const { return next_ >= args_.size(); }
  std::string_view take() { return args_[next_++]; }

 private:
  const std::vector<std::string_view>& args_;
  std::size_t next_ = 1;
};

// An option of the command, with its value after a '=' or as the argument
// that follows, or a flag; the reason when it cannot be used.
std::optional<std::string> readOption(Options& options, std::string_view arg,
                                      ArgumentsAfterCommand& rest) {
  const std::size_t equals = arg.find('=');
  const std::string_view option = arg.substr(0, equals);
  if (!takesOption(options.command, option)) {
    return std::string(nameOf(options.command)) + " takes no option " + quoted(option);
  }
  if (isFlag(option)) {
    if (equals != std::string_view::npos) return std::string(option) + " takes no value";
    applyFlag(options, option);
    return std::nullopt;
  }
  if (equals != std::string_view::npos) return applyOption(options, option, arg.substr(equals + 1));
  if (rest.empty()) return std::string(option) + " needs a value";
  return applyOption(options, option, rest.take());
}

// Why the command needs a file; none for history where kv.exe's own is known.
std::optional<std::string> fileMissing(Command command, bool defaultHistory) {
  if (command != Command::History) {
    return std::string(nameOf(command)) + " needs a schedule file ('-' reads standard input)";
  }
  if (defaultHistory) return std::nullopt;
  return "history needs a history file on Linux ('-' reads standard input); only kvtool.exe "
         "on Windows finds kv.exe's own, %LOCALAPPDATA%\\Kivro\\history.tsv";
}

// The file and the options of the command. After "--" every argument is a
// file name, so that one may begin with '-'.
std::optional<std::string> readFileAndOptions(Options& options,
                                              const std::vector<std::string_view>& args,
                                              bool defaultHistory) {
  ArgumentsAfterCommand rest(args);
  bool haveFile = false;
  bool optionsEnded = false;
  while (!rest.empty()) {
    const std::string_view arg = rest.take();
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (haveFile) return "unexpected argument " + quoted(arg) + " after the file";
      options.file = std::string(arg);
      haveFile = true;
    } else if (std::optional<std::string> reason = readOption(options, arg, rest)) {
      return reason;
    }
  }
  if (haveFile) return std::nullopt;
  return fileMissing(options.command, defaultHistory);
}

std::optional<std::string> untilBeforeFrom(const Options& options) {
  if (!options.from || !options.until || *options.until >= *options.from) return std::nullopt;
  return "--until " + localTimeText(*options.until) + " is before --from " +
         localTimeText(*options.from);
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string_view>& args, bool defaultHistory) {
  if (args.empty()) return std::string("no command given (kvtool --help lists them)");
  if (const std::optional<Options> asked = helpOrVersion(args)) return *asked;
  const std::optional<Command> command = commandNamed(args[0]);
  if (!command) return "unknown command " + quoted(args[0]) + " (kvtool --help lists them)";
  Options options;
  options.command = *command;
  if (std::optional<std::string> reason = readFileAndOptions(options, args, defaultHistory)) {
    return *reason;
  }
  if (std::optional<std::string> reason = untilBeforeFrom(options)) return *reason;
  if (options.record && options.missedStarts != MissedStarts::RunOnce) {
    return std::string("--record goes with --missed-starts: only missed starts depend on it");
  }
  if (options.record && options.file == kStandardInput) {
    return std::string(
        "--record needs the schedule's file name: the record knows schedules by "
        "their full path, and standard input has none");
  }
  if (options.command == Command::Next && !options.count && !options.until) {
    options.count = kDefaultCount;
  }
  return options;
}

std::optional<Time> parseLocalTime(std::string_view text) {
  const std::optional<LocalTime> fields = localTimeFields(text);
  if (!fields) return std::nullopt;
  return fromLocalClock(*fields);
}

namespace {

const DateSettings kIsoDate{kYearFirst, "-", true};
const TimeSettings kIsoClock{1, ":", 1, "", ""};

std::string twoDigits(int value) {
  return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// The local date and the clock time to the minute with `between` them:
// "2026-03-29T03:30" for "T".
std::string dateAndClock(const LocalTime& f, std::string_view between) {
  return formatDate(kIsoDate, f.month, f.day, f.year) + std::string(between) +
         formatTime(kIsoClock, f.hour, f.minute);
}

}  // namespace

std::string isoLocalTime(Time t) {
  const LocalTime f = toLocalTime(t);
  return dateAndClock(f, "T") + ":" + twoDigits(f.second);
}

std::string shortLocalTime(Time t) {
  return dateAndClock(toLocalTime(t), " ");
}

std::string localTimeText(Time t) {
  const int second = toLocalTime(t).second;
  return second == 0 ? shortLocalTime(t) : shortLocalTime(t) + ":" + twoDigits(second);
}

}  // namespace kv::tool
