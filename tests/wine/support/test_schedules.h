// Schedule files and entries for the black-box tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/calendar.h"
#include "schedule/entry_line.h"

namespace kvtest {

// A Linux path as Wine shows it to Windows programs (drive Z:).
inline std::string windowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
}

// The test helper that records how it was started.
inline std::string recorderPath() {
  return windowsPath(KV_RECORDER_PATH);
}

// The test helper that waits and ends with the exit code it is given.
inline std::string exiterPath() {
  return windowsPath(KV_EXITER_PATH);
}

inline std::string scheduleBytes(const std::vector<kv::ScheduleEntry>& entries) {
  std::string bytes = "Version=3.0\r\n";
  for (const auto& entry : entries) bytes += kv::composeEntryLine(entry) + "\r\n";
  return bytes;
}

inline std::string scheduleBytes(const std::vector<std::string>& lines,
                                 const std::string& header = "Version=3.0") {
  std::string bytes = header.empty() ? "" : header + "\r\n";
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

inline constexpr kv::Time kNoEnd = 2082718859u;  // 31 December 2035

inline kv::ScheduleEntry makeEntry(kv::Time start, char frequency, const std::string& commandLine,
                                   const std::string& description,
                                   const std::string& directory = "C:\\windows") {
  kv::ScheduleEntry entry;
  entry.start = start;
  entry.end = kNoEnd;
  entry.frequency = frequency;
  entry.commandLine = commandLine;
  entry.workingDirectory = directory;
  entry.description = description;
  return entry;
}

inline bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Whether the rows show these descriptions, in this order.
inline ::testing::AssertionResult rowsShow(const std::vector<std::string>& rows,
                                           const std::vector<std::string>& descriptions) {
  if (rows.size() != descriptions.size()) {
    return ::testing::AssertionFailure()
           << rows.size() << " rows for " << descriptions.size() << " descriptions";
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!endsWith(rows[i], " " + descriptions[i])) {
      return ::testing::AssertionFailure() << "row " << i << " is \"" << rows[i] << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kvtest
