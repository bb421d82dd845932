// Schedule files made up in kvtool's tests, and the local times they use.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "schedule/entry_line.h"
#include "tool/arguments.h"

namespace kvtest {

inline kv::Time at(const char* localTime) {
  const std::optional<kv::Time> t = kv::tool::parseLocalTime(localTime);
  EXPECT_TRUE(t.has_value()) << localTime;
  return t.value_or(0);
}

// An entry line that starts Notepad.
inline std::string line(kv::Time start, kv::Time end, char frequency,
                        const std::string& description) {
  return kv::composeEntryLine(
      {start, end, frequency, 1, "C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS", '0', description});
}

// A current schedule file of the lines.
inline std::string fileOf(const std::vector<std::string>& lines) {
  std::string bytes = "Version=3.0\r\n";
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

}  // namespace kvtest
