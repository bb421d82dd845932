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
    "Reads a Kivro schedule file (*.KV) the way kv.exe loads it; FILE '-' reads\n"
    "standard input. Times are local times of this machine (TZ on Linux).\n"
    "\n"
    "Commands:\n"
    "  list FILE [--format=tsv]\n"
    "      Every entry in due order, as stored (nothing is caught up): start,\n"
    "      frequency, end, show mode, open or print, command line, [working\n"
    "      directory], description. --format=tsv gives the same fields\n"
    "      tab-separated under a row of column names, with the times as\n"
    "      2026-01-05T09:00:01 and a description the file leaves empty as empty.\n"
    "  next FILE [--count N] [--from TIME] [--until TIME] [--format=tsv]\n"
    "      The starts of all entries in time order, as kv.exe would start them\n"
    "      after loading the file at --from (default now): the next 10, or N\n"
    "      with --count; with --until (not before the load time) every start\n"
    "      up to that time, at most N with --count as well.\n"
    "  check FILE [--at TIME]\n"
    "      Reports, by line number, what loading the file at TIME (default now)\n"
    "      would cut, change or drop, and entries that cannot run as they\n"
    "      stand. Exit status 0: the file loads as it stands; 1: a load would\n"
    "      lose or change something; 2: the file cannot be read.\n"
    "\n"
    "TIME is a local date and time: 2026-03-29T02:30, 2026-03-29T02:30:15 or\n"
    "2026-03-29 (midnight), from 1970-01-01 to 2106-02-07 (the exact bounds\n"
    "depend on the time zone; a time outside them is refused with them).\n"
    "\n"
    "The texts of the file (Windows code page 1252 on Linux, the ANSI code page\n"
    "on Windows) are written as UTF-8, or in the console's code page when\n"
    "kvtool.exe writes to a console; control bytes are written as \\xNN.\n"
    "An empty result is said on standard error. list and next refuse, with\n"
    "exit status 2, a file that does not look like a schedule file.\n"
    "\n"
    "Example, on the schedule that comes with Kivro:\n"
    "  kvtool next \"My Schedule.KV\" --count 5\n"
    "\n"
    "A wrong command line ends with exit status 2.\n";

namespace {

struct CommandName {
  std::string_view name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"list", Command::List},
    {"next", Command::Next},
    {"check", Command::Check},
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
  if (option == "--format") return command == Command::List || command == Command::Next;
  if (option == "--count" || option == "--from" || option == "--until") {
    return command == Command::Next;
  }
  if (option == "--at") return command == Command::Check;
  return false;
}

bool isHelp(std::string_view arg) {
  return arg == "--help" || arg == "-h" || arg == "help";
}

bool isVersion(std::string_view arg) {
  return arg == "--version";
}

// Digits only, exactly `width` of them.
std::optional<int> fixedNumber(std::string_view text, std::size_t width) {
  if (text.size() != width) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<std::size_t> positiveCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  std::size_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  if (value == 0) return std::nullopt;
  return value;
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

// Applies one option with its value to the options; a reason on failure.
std::optional<std::string> applyOption(Options& options, std::string_view option,
                                       std::string_view value) {
  if (option == "--format") {
    if (value == "text") {
      options.format = Format::Text;
    } else if (value == "tsv") {
      options.format = Format::Tsv;
    } else {
      return "--format is text or tsv, not " + quoted(value);
    }
    return std::nullopt;
  }
  if (option == "--count") {
    const std::optional<std::size_t> count = positiveCount(value);
    if (!count) return "--count needs a whole number from 1 up, not " + quoted(value);
    options.count = *count;
    return std::nullopt;
  }
  const std::optional<LocalTime> fields = localTimeFields(value);
  const std::optional<Time> time = fields ? fromLocalClock(*fields) : std::nullopt;
  if (!time) {
    if (const std::optional<std::string> range =
            fields ? outsideTimeRange(*fields) : std::nullopt) {
      return std::string(option) + ": " + std::string(value) + " is outside " + *range +
             ", the times kvtool can represent";
    }
    return std::string(option) + " needs a local date and time such as 2026-03-29T02:30, not " +
           quoted(value);
  }
  if (option == "--from") options.from = time;
  if (option == "--until") options.until = time;
  if (option == "--at") options.at = time;
  return std::nullopt;
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string_view>& args) {
  if (args.empty()) return std::string("no command given (kvtool --help lists them)");
  for (std::string_view arg : args) {
    if (isHelp(arg)) return Options{};
    if (isVersion(arg)) {
      Options version;
      version.command = Command::Version;
      return version;
    }
  }
  const std::optional<Command> command = commandNamed(args[0]);
  if (!command) return "unknown command " + quoted(args[0]) + " (kvtool --help lists them)";

  Options options;
  options.command = *command;
  const std::string_view name = nameOf(*command);
  bool haveFile = false;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!isOption) {
      if (haveFile) return "unexpected argument " + quoted(arg) + " after the file";
      options.file = std::string(arg);
      haveFile = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view option = arg.substr(0, equals);
    if (!takesOption(*command, option)) {
      return std::string(name) + " takes no option " + quoted(option);
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return std::string(option) + " needs a value";
    }
    if (std::optional<std::string> reason = applyOption(options, option, value)) return *reason;
  }
  if (!haveFile) {
    return std::string(name) + " needs a schedule file ('-' reads standard input)";
  }
  if (options.from && options.until && *options.until < *options.from) {
    return "--until " + localTimeText(*options.until) + " is before --from " +
           localTimeText(*options.from);
  }
  if (!options.count && !options.until) options.count = kDefaultCount;
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

}  // namespace

std::string isoLocalTime(Time t) {
  const LocalTime f = toLocalTime(t);
  return formatDate(kIsoDate, f.month, f.day, f.year) + "T" +
         formatTime(kIsoClock, f.hour, f.minute) + ":" + twoDigits(f.second);
}

std::string shortLocalTime(Time t) {
  const LocalTime f = toLocalTime(t);
  return formatDate(kIsoDate, f.month, f.day, f.year) + " " +
         formatTime(kIsoClock, f.hour, f.minute);
}

std::string localTimeText(Time t) {
  const int second = toLocalTime(t).second;
  return second == 0 ? shortLocalTime(t) : shortLocalTime(t) + ":" + twoDigits(second);
}

}  // namespace kv::tool
