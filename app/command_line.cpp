#include "app/command_line.h"

namespace kv {
namespace {

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Length of the program name at the head of a command line: a quoted name
// runs to its closing quote, an unquoted one to the first white space.
std::size_t programNameLength(std::string_view line) {
  if (!line.empty() && line.front() == '"') {
    std::size_t close = line.find('"', 1);
    return close == std::string_view::npos ? line.size() : close + 1;
  }
  std::size_t i = 0;
  while (i < line.size() && !isWhiteSpace(line[i])) ++i;
  return i;
}

}  // namespace

std::string commandLineTail(std::string_view fullCommandLine) {
  std::size_t i = programNameLength(fullCommandLine);
  while (i < fullCommandLine.size() && isWhiteSpace(fullCommandLine[i])) ++i;
  return std::string(fullCommandLine.substr(i));
}

}  // namespace kv

namespace kv {

std::string scheduleFileArgument(std::string_view tail) {
  if (tail.size() >= 2 && tail.front() == '"' && tail.back() == '"') {
    tail = tail.substr(1, tail.size() - 2);
  }
  return std::string(tail);
}

}  // namespace kv
