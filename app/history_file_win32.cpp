#include "app/history_file_win32.h"

#include "engine/history.h"
#include "schedule/code_pages_win32.h"

namespace kv {

HistoryFile::HistoryFile(std::string path)
    : AppendedFile(std::move(path), kHistoryHeader, L"Local\\Kivro.history") {}

std::string HistoryFile::earlierPath() const {
  const std::size_t dot = path().rfind('.');
  return dot == std::string::npos ? path() + ".1"
                                  : path().substr(0, dot) + ".1" + path().substr(dot);
}

void HistoryFile::makeRoom(std::uint64_t size, std::size_t adding) {
  if (size + adding > kHistoryLimit) {
    MoveFileExW(toWide(path()).c_str(), toWide(earlierPath()).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

std::string HistoryFile::readAll() const {
  return readSharedFile(earlierPath()) + readSharedFile(path());
}

std::string historyFilePath() {
  return kivroDataPath("history.tsv");
}

}  // namespace kv
