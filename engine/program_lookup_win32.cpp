#include "engine/program_lookup_win32.h"

#include <windows.h>

namespace kv {

bool programFileExists(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kFileAttributes =
      FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
  return (found.dwFileAttributes & kFileAttributes) != 0;
}

bool programOnSearchPath(const std::string& name) {
  std::string found(MAX_PATH, '\0');
  DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", static_cast<DWORD>(found.size()),
                             found.data(), nullptr);
  // A path longer than the room: the length returned counts its zero.
  if (length >= found.size()) {
    found.resize(length);
    length = SearchPathA(nullptr, name.c_str(), ".exe", static_cast<DWORD>(found.size()),
                         found.data(), nullptr);
  }
  if (length == 0 || length >= found.size()) return false;
  found.resize(length);
  return programFileExists(found);
}

}  // namespace kv
