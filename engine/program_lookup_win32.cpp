#include "engine/program_lookup_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "schedule/code_pages_win32.h"

namespace kv {

bool programFileExists(const std::string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(toWide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kFileAttributes =
      FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
  return (found.dwFileAttributes & kFileAttributes) != 0;
}

bool programOnSearchPath(const std::string& name) {
  const std::wstring wideName = toWide(name);
  std::wstring found(MAX_PATH, L'\0');
  DWORD length = SearchPathW(nullptr, wideName.c_str(), L".exe", static_cast<DWORD>(found.size()),
                             found.data(), nullptr);
  // A path longer than the room: the length returned counts its zero.
  if (length >= found.size()) {
    found.resize(length);
    length = SearchPathW(nullptr, wideName.c_str(), L".exe", static_cast<DWORD>(found.size()),
                         found.data(), nullptr);
  }
  if (length == 0 || length >= found.size()) return false;
  found.resize(length);
  return programFileExists(toUtf8(found));
}

FoundExecutable findExecutable(const std::string& file, const std::string& directory) {
  const std::wstring wideDirectory = toWide(directory);
  wchar_t executable[MAX_PATH] = L"";
  const auto result = reinterpret_cast<INT_PTR>(FindExecutableW(
      toWide(file).c_str(), directory.empty() ? nullptr : wideDirectory.c_str(), executable));
  return {result, result > 32 ? toUtf8(executable) : std::string()};
}

}  // namespace kv
