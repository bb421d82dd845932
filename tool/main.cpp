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

int run(const Options& options) {
  if (options.command == Command::Help) {
    std::cout << kHelpText;
    return 0;
  }
  const FileBytes file = readSchedule(options.file);
  if (!file.read) {
    std::cerr << "kvtool: cannot read " << displayName(options.file) << ": " << file.why << '\n';
    return kExitFailure;
  }
  switch (options.command) {
    case Command::List:
      writeList(file.bytes, options.format, std::cout);
      return 0;
    case Command::Next:
      writeNext(
          file.bytes,
          {options.from.value_or(kv::currentTime()), options.until, options.count, options.format},
          std::cout);
      return 0;
    case Command::Check: {
#ifdef _WIN32
      std::unique_ptr<ProgramChecks> programs = makeWin32ProgramChecks();
#else
      std::unique_ptr<ProgramChecks> programs;
#endif
      return writeCheck(file.bytes, displayName(options.file),
                        options.at.value_or(kv::currentTime()), programs.get(), std::cout);
    }
    case Command::Help:
      break;
  }
  return 0;
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
