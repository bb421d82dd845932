#include "app/single_instance_win32.h"

#include <iterator>

#include "app/command_parts_win32.h"
#include "schedule/code_pages_win32.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

// The WM_COPYDATA tag of the question "do you hold this file?", which
// carries the file's full path in UTF-8.
constexpr ULONG_PTR kHoldsFileQuery = 0x4B564631;  // "KVF1"
constexpr UINT kAnswerTimeoutMs = 3000;

// As Windows compares file names: letters beyond ASCII ignore their case too.
bool sameFile(const std::string& a, const std::string& b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, toWide(a).c_str(), -1, toWide(b).c_str(),
                        -1) == CSTR_EQUAL;
}

struct Search {
  std::string path;
  bool handedOver = false;
};

BOOL CALLBACK askWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  wchar_t className[8] = L"";
  GetClassNameW(window, className, std::size(className));
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (lstrcmpW(className, L"KV") != 0 || process == GetCurrentProcessId()) return TRUE;
  COPYDATASTRUCT query{kHoldsFileQuery, static_cast<DWORD>(search->path.size() + 1),
                       const_cast<char*>(search->path.c_str())};
  DWORD_PTR answer = 0;
  if (SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&query),
                          SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) &&
      answer == TRUE) {
    search->handedOver = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool handOverToRunningCopy(const std::string& fileName) {
  Search search{fullPathOf(fileName)};
  EnumWindows(askWindow, reinterpret_cast<LPARAM>(&search));
  return search.handedOver;
}

BOOL answerHoldsFileQuery(const std::string& held, MainWindowActions& window,
                          const COPYDATASTRUCT* query) {
  if (!query || query->dwData != kHoldsFileQuery || query->cbData == 0 || !query->lpData) {
    return FALSE;
  }
  const char* text = static_cast<const char*>(query->lpData);
  std::string asked(text, strnlen(text, query->cbData));
  if (held.empty() || !sameFile(fullPathOf(held), asked)) return FALSE;
  window.bringBack();
  return TRUE;
}

}  // namespace kv
