// The history file on Windows: %LOCALAPPDATA%\Kivro\history.tsv (or beside
// KV.INI where that folder is missing), appended to by every copy of Kivro
// and shared for reading, so that a viewer or kvtool may read it while
// Kivro runs. Past 1 MiB it moves to history.1.tsv and a new one begins.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/appended_file_win32.h"

namespace kv {

inline constexpr std::uint64_t kHistoryLimit = 1 << 20;

class HistoryFile final : public AppendedFile {
 public:
  explicit HistoryFile(std::string path);
  // The earlier file, then this one: every line they hold.
  std::string readAll() const;

 protected:
  void makeRoom(std::uint64_t size, std::size_t adding) override;

 private:
  std::string earlierPath() const;
};

std::string historyFilePath();

}  // namespace kv
