#include "app/logon_start.h"

#include "schedule/ascii_case.h"

namespace kv {
namespace {

std::string quoted(std::string_view text) {
  std::string result = "\"";
  result += text;
  result += '"';
  return result;
}

// The program a command line starts: the quoted first part, or everything
// up to the first blank.
std::string_view programOf(std::string_view command) {
  if (command.starts_with('"')) {
    const std::size_t close = command.find('"', 1);
    return command.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
  }
  return command.substr(0, command.find(' '));
}

}  // namespace

std::string logonCommand(std::string_view programPath, std::string_view scheduleFile) {
  return quoted(programPath) + " " + quoted(scheduleFile);
}

bool startsProgram(std::string_view value, std::string_view programPath) {
  return !programPath.empty() && equalsIgnoringAsciiCase(programOf(value), programPath);
}

bool startsAtLogon(RunKey& key, std::string_view programPath) {
  const std::optional<std::string> value = key.read();
  return value && startsProgram(*value, programPath);
}

void toggleStartAtLogon(RunKey& key, std::string_view programPath, std::string_view scheduleFile) {
  if (startsAtLogon(key, programPath)) {
    key.remove();
  } else if (!scheduleFile.empty()) {
    key.write(logonCommand(programPath, scheduleFile));
  }
}

void followScheduleName(RunKey& key, std::string_view programPath, std::string_view scheduleFile) {
  if (scheduleFile.empty() || !startsAtLogon(key, programPath)) return;
  const std::string wanted = logonCommand(programPath, scheduleFile);
  if (key.read() != wanted) key.write(wanted);
}

}  // namespace kv
