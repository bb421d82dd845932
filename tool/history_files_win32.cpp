#include "tool/history_files_win32.h"

#include <windows.h>

#include <shlobj.h>

#include <iterator>

#include "schedule/code_pages_win32.h"

namespace kv::tool {
namespace {

// Oldest first: kv.exe moves a full history.tsv to history.1.tsv.
constexpr const char* kHistoryFileNames[] = {"history.1.tsv", "history.tsv"};

std::string kivroFolder() {
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return toUtf8(folder) + "\\Kivro";
}

bool isFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

DefaultHistory findDefaultHistory() {
  DefaultHistory history{kivroFolder(), {}};
  if (history.folder.empty()) return history;
  for (const char* name : kHistoryFileNames) {
    const std::string path = history.folder + "\\" + name;
    if (isFile(path)) history.files.push_back(path);
  }
  return history;
}

std::string fullPathOf(const std::string& file) {
  wchar_t full[MAX_PATH * 2] = L"";
  const DWORD n = GetFullPathNameW(toWide(file).c_str(), std::size(full), full, nullptr);
  if (n == 0 || n >= std::size(full)) return file;
  return toUtf8(std::wstring_view(full, n));
}

}  // namespace kv::tool
