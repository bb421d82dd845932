// The record of the starts Kivro dealt with, on Windows:
// %LOCALAPPDATA%\Kivro\handled.tsv beside the history, appended to by every
// copy of Kivro. Unlike the history it is never cut short: once it grows
// large it is compacted to the newest line of each entry.
#pragma once

#include <cstdint>
#include <string>

#include "app/appended_file_win32.h"

namespace kv {

inline constexpr std::uint64_t kHandledStartsCompactAt = 256 * 1024;

class HandledStartsFile final : public AppendedFile {
 public:
  explicit HandledStartsFile(std::string path);
  std::string readAll() const { return readSharedFile(path()); }

 protected:
  void makeRoom(std::uint64_t size, std::size_t adding) override;

 private:
  // A record of many entries stays large after compacting: the next one
  // waits until it has doubled.
  std::uint64_t compactAt_ = kHandledStartsCompactAt;
};

std::string handledStartsFilePath();

}  // namespace kv
