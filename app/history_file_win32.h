// The history file on Windows: %LOCALAPPDATA%\Kivro\history.tsv (or beside
// KV.INI where that folder is missing), appended to with every line in one
// write and shared for reading, so that a viewer or kvtool may read it while
// Kivro runs, and several copies of Kivro may write it. Past 1 MiB it moves
// to history.1.tsv and a new one begins.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/launch_history.h"

namespace kv {

inline constexpr std::uint64_t kHistoryLimit = 1 << 20;

class HistoryFile final : public HistorySink {
 public:
  explicit HistoryFile(std::string path);
  ~HistoryFile() override;
  HistoryFile(const HistoryFile&) = delete;
  HistoryFile& operator=(const HistoryFile&) = delete;
  bool append(std::string_view line) override;
  const std::string& path() const { return path_; }
  // The earlier file, then this one: every line they hold.
  std::string readAll() const;

 private:
  std::string earlierPath() const;

  std::string path_;
  HANDLE mutex_;  // one writer at a time, across every copy of Kivro
};

std::string historyFilePath();

// A text in the ANSI code page as UTF-8.
std::string ansiToUtf8(std::string_view text);

}  // namespace kv
