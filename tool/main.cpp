// kvtool: lists a schedule file, shows its next starts, checks it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "tool/console_text_win32.h"
#include "tool/program_checks_win32.h"
#endif

#include "engine/calendar.h"
#include "tool/arguments.h"
#include "tool/commands.h"

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

FileBytes readSchedule(const std::string& name) {
  if (name == kStandardInput) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return readAll(stdin);
  }
  errno = 0;
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return {false, {}, std::strerror(errno)};
  FileBytes result = readAll(file);
  std::fclose(file);
  return result;
}

std::string displayName(const std::string& file) {
  return file == kStandardInput ? std::string("(standard input)") : file;
}

TerminalText terminalText() {
#ifdef _WIN32
  return makeWin32TerminalText();
#else
  return utf8FromWindows1252;
#endif
}

// The file argument as it would be typed again.
std::string typedName(const std::string& file) {
  return file.find(' ') == std::string::npos ? file : '"' + file + '"';
}

// An empty result is said on standard error; a file that is no schedule
// is refused.
int finish(const Written& written, const std::string& file) {
  if (!written.schedule) {
    std::cerr << "kvtool: " << displayName(file)
              << " does not look like a schedule file; `kvtool check " << typedName(file)
              << "` tells why\n";
    return kExitFailure;
  }
  if (!written.note.empty()) std::cerr << "kvtool: " << written.note << '\n';
  return kExitDone;
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
  const kv::Time now = kv::currentTime();
  if (options.command == Command::Next && !options.from && options.until && *options.until < now) {
    std::cerr << "kvtool: --until " << localTimeText(*options.until) << " is before now, "
              << localTimeText(now) << " (--from sets another load time)\n";
    return kExitFailure;
  }
  const FileBytes file = readSchedule(options.file);
  if (!file.read) {
    std::cerr << "kvtool: cannot read " << displayName(options.file) << ": " << file.why << '\n';
    return kExitFailure;
  }
  const TerminalText text = terminalText();
  switch (options.command) {
    case Command::List:
      return finish(writeList(file.bytes, options.format, std::cout, text), options.file);
    case Command::Next:
      return finish(
          writeNext(file.bytes,
                    {options.from.value_or(now), options.until, options.count, options.format},
                    std::cout, text),
          options.file);
    case Command::Check: {
#ifdef _WIN32
      std::unique_ptr<ProgramChecks> programs = makeWin32ProgramChecks();
#else
      std::unique_ptr<ProgramChecks> programs;
#endif
      return writeCheck(file.bytes, displayName(options.file), options.at.value_or(now),
                        programs.get(), std::cout, text);
    }
    case Command::Help:
    case Command::Version:
      break;
  }
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const ParsedArguments parsed = parseArguments(args);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "kvtool: " << *error << '\n';
    return kExitFailure;
  }
  return run(std::get<Options>(parsed));
}
