#include "app/history_file_win32.h"

#include "engine/history.h"

namespace kv {

HistoryFile::HistoryFile(std::string path)
    : AppendedFile(std::move(path), kHistoryHeader, "Local\\Kivro.history") {}

std::string HistoryFile::earlierPath() const {
  const std::size_t dot = path().rfind('.');
  return dot == std::string::npos ? path() + ".1"
                                  : path().substr(0, dot) + ".1" + path().substr(dot);
}

void HistoryFile::makeRoom(std::uint64_t size, std::size_t adding) {
  if (size + adding > kHistoryLimit) {
    MoveFileExA(path().c_str(), earlierPath().c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

std::string HistoryFile::readAll() const {
  return readSharedFile(earlierPath()) + readSharedFile(path());
}

std::string historyFilePath() {
  return kivroDataPath("history.tsv");
}

std::string ansiToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, utf16.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

std::wstring utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace kv
