// kvtool: lists a schedule file, shows its next starts, checks it, and shows
// the history of the starts kv.exe attempted.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "tool/console_text_win32.h"
#include "tool/history_files_win32.h"
#include "tool/program_checks_win32.h"
#endif

#include "engine/calendar.h"
#include "engine/handled_starts.h"
#include "tool/arguments.h"
#include "tool/commands.h"
#include "tool/history_command.h"
#include "tool/legacy_text.h"

namespace {

using namespace kv::tool;

struct FileBytes {
  bool read = false;
  std::string bytes;
  std::string why;
};

FileBytes readAll(std::FILE* file) {
  FileBytes result;
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) result.bytes.append(chunk, got);
  result.read = !std::ferror(file);
  if (!result.read) result.why = std::strerror(errno);
  return result;
}

FileBytes readInput(const std::string& name) {
  if (name == kStandardInput) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return readAll(stdin);
  }
  errno = 0;
#ifdef _WIN32
  std::FILE* file = openUtf8File(name, L"rb");
#else
  std::FILE* file = std::fopen(name.c_str(), "rb");
#endif
  if (!file) return {false, {}, std::strerror(errno)};
  FileBytes result = readAll(file);
  std::fclose(file);
  return result;
}

std::string displayName(const std::string& file) {
  return file == kStandardInput ? std::string("(standard input)") : file;
}

// The file argument as it would be typed again.
std::string typedName(const std::string& file) {
  return file.find(' ') == std::string::npos ? file : '"' + file + '"';
}

// A line that kvtool writes on standard error begins with its name.
std::ostream& standardError() {
  return std::cerr << "kvtool: ";
}

// An empty result is said on standard error; a file that is no schedule
// is refused.
int finish(const Written& written, const std::string& file) {
  if (!written.schedule) {
    standardError() << displayName(file) << " does not look like a schedule file; `kvtool check "
                    << typedName(file) << "` tells why\n";
    return kExitFailure;
  }
  if (!written.note.empty()) standardError() << written.note << '\n';
  return kExitDone;
}

// Whether next, loading the file now, is asked for an --until before now;
// says so when it is.
bool untilBeforeNow(const Options& options, kv::Time now) {
  if (options.command != Command::Next || options.from || !options.until || *options.until >= now) {
    return false;
  }
  standardError() << "--until " << localTimeText(*options.until) << " is before now, "
                  << localTimeText(now) << " (--from sets another load time)\n";
  return true;
}

std::unique_ptr<ProgramChecks> programChecks() {
#ifdef _WIN32
  return makeWin32ProgramChecks();
#else
  return nullptr;
#endif
}

// The schedule's path as kv.exe names it in its record: full.
std::string recordedScheduleName(const std::string& file) {
#ifdef _WIN32
  return fullPathOf(file);
#else
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(file, error);
  return error ? file : full.string();
#endif
}

// The record that --missed-starts reads: the one named, or kv.exe's own.
std::optional<std::string> recordFile(const Options& options) {
  if (options.record) return options.record;
#ifdef _WIN32
  const DefaultHistory history = findDefaultHistory();
  if (!history.folder.empty()) return history.folder + "\\handled.tsv";
#endif
  return std::nullopt;
}

// The starts kv.exe dealt with already, for a load with missed starts run;
// nothing, having said why, when a record named cannot be read. kv.exe's
// own that is not there yet holds nothing.
std::optional<kv::HandledThrough> handledStarts(const Options& options) {
  if (options.missedStarts != kv::MissedStarts::RunOnce) return kv::HandledThrough{};
  const std::optional<std::string> path = recordFile(options);
  if (!path || options.file == kStandardInput) return kv::HandledThrough{};
  const FileBytes record = readInput(*path);
  if (!record.read && options.record) {
    standardError() << "cannot read " << displayName(*path) << ": " << record.why << '\n';
    return std::nullopt;
  }
  return kv::handledThroughLookup(
      std::make_shared<const kv::HandledStarts>(record.bytes, recordedScheduleName(options.file)));
}

int runList(const Options& options, const std::string& bytes, const kv::LegacyTextReader& legacy) {
  return finish(writeList(bytes, options.format, std::cout, legacy), options.file);
}

int runNext(const Options& options, const std::string& bytes, kv::Time now,
            const kv::HandledThrough& handled, const kv::LegacyTextReader& legacy) {
  const NextRequest request{
      options.from.value_or(now), options.until, options.count, options.format,
      options.missedStarts,       handled};
  return finish(writeNext(bytes, request, std::cout, legacy), options.file);
}

int runCheck(const Options& options, const std::string& bytes, kv::Time now,
             const kv::HandledThrough& handled, const kv::LegacyTextReader& legacy) {
  const std::unique_ptr<ProgramChecks> programs = programChecks();
  return writeCheck(bytes, displayName(options.file), options.at.value_or(now),
                    options.missedStarts, handled, programs.get(), std::cout, legacy);
}

// The reader of a file of an earlier version; nothing, having said why,
// for a code page this kvtool cannot read.
std::optional<kv::LegacyTextReader> legacyReader(const Options& options) {
  std::optional<kv::LegacyTextReader> reader = legacyTextReader(options.codePage);
  if (!reader) {
    standardError() << "cannot read code page " << options.codePage << "; this kvtool reads "
                    << readableCodePages() << '\n';
  }
  return reader;
}

// list, next or check, on the schedule file the options name.
int runOnFile(const Options& options) {
  const kv::Time now = kv::currentTime();
  if (untilBeforeNow(options, now)) return kExitFailure;
  const std::optional<kv::LegacyTextReader> legacy = legacyReader(options);
  if (!legacy) return kExitFailure;
  const FileBytes file = readInput(options.file);
  if (!file.read) {
    standardError() << "cannot read " << displayName(options.file) << ": " << file.why << '\n';
    return kExitFailure;
  }
  const std::optional<kv::HandledThrough> handled = handledStarts(options);
  if (!handled) return kExitFailure;
  switch (options.command) {
    case Command::List:
      return runList(options, file.bytes, *legacy);
    case Command::Next:
      return runNext(options, file.bytes, now, *handled, *legacy);
    case Command::Check:
      return runCheck(options, file.bytes, now, *handled, *legacy);
    case Command::Help:
    case Command::Version:
    case Command::History:
      break;
  }
  return kExitDone;
}

// The files that history reads, oldest first: the one named, or kv.exe's
// own, none of them while it has written none. Nothing, having said why,
// when it cannot tell where they are.
std::optional<std::vector<std::string>> historyFiles(const Options& options) {
  if (!options.file.empty()) return std::vector<std::string>{options.file};
#ifdef _WIN32
  const DefaultHistory history = findDefaultHistory();
  if (history.folder.empty()) {
    standardError() << "cannot find the local application data folder; name the history file\n";
    return std::nullopt;
  }
  if (history.files.empty()) standardError() << "no history in " << history.folder << " yet\n";
  return history.files;
#else
  return std::nullopt;  // the command line names one
#endif
}

// Adds the records of a history file; false, having said why, when the
// file cannot be read or is no history.
bool readHistoryInto(const std::string& name, std::vector<kv::HistoryRecord>& records) {
  const FileBytes file = readInput(name);
  if (!file.read) {
    standardError() << "cannot read " << displayName(name) << ": " << file.why << '\n';
    return false;
  }
  HistoryFile history = readHistoryFile(file.bytes);
  if (!history.history) {
    standardError() << displayName(name)
                    << " does not look like a history of starts, as kv.exe writes to history.tsv\n";
    return false;
  }
  if (history.unreadLines > 0) {
    standardError() << displayName(name) << ": skipped " << history.unreadLines
                    << (history.unreadLines == 1 ? " line that is" : " lines that are")
                    << " no record of a start\n";
  }
  records.insert(records.end(), std::make_move_iterator(history.records.begin()),
                 std::make_move_iterator(history.records.end()));
  return true;
}

// history: exit status 1 when --failed finds a start that needs attention.
int runHistory(const Options& options) {
  const std::optional<std::vector<std::string>> files = historyFiles(options);
  if (!files) return kExitFailure;
  std::vector<kv::HistoryRecord> records;
  for (const std::string& name : *files) {
    if (!readHistoryInto(name, records)) return kExitFailure;
  }
  const HistoryRequest request{options.since, options.failedOnly, options.count, options.format};
  const HistoryShown shown = writeHistory(records, request, std::cout);
  if (!shown.note.empty()) standardError() << shown.note << '\n';
  return historyExitStatus(request, shown);
}

int run(const Options& options) {
  if (options.command == Command::Help) {
    std::cout << kHelpText;
    return kExitDone;
  }
  if (options.command == Command::Version) {
    std::cout << "kvtool " << kVersionText << '\n';
    return kExitDone;
  }
  if (options.command == Command::History) return runHistory(options);
  return runOnFile(options);
}

}  // namespace

#ifdef _WIN32
// Windows hands a program its arguments in the ANSI code page: the wide
// command line keeps every character of a file name.
int main() {
  writeUtf8ToConsoleOrFile();
  const std::vector<std::string> utf8 = utf8Arguments();
  const std::vector<std::string_view> args(utf8.begin(), utf8.end());
#else
int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
  const ParsedArguments parsed = parseArguments(args);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    standardError() << *error << '\n';
    return kExitFailure;
  }
  return run(std::get<Options>(parsed));
}
