#include "tool/history_files_win32.h"

#include <windows.h>

#include <shlobj.h>

namespace kv::tool {
namespace {

// Oldest first: kv.exe moves a full history.tsv to history.1.tsv.
constexpr const char* kHistoryFileNames[] = {"history.1.tsv", "history.tsv"};

std::string kivroFolder() {
  char folder[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return {};
  }
  return std::string(folder) + "\\Kivro";
}

bool isFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
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
  char full[MAX_PATH * 2] = "";
  const DWORD n = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return file;
  return full;
}

}  // namespace kv::tool
