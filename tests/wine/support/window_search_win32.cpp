#include "window_search_win32.h"

#include <cstring>

namespace kvtest {
namespace {

struct Search {
  DWORD processId;
  const char* className;
  const char* caption;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (std::strcmp(cls, search->className) != 0) return TRUE;
  if (search->caption && windowText(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND findWindow(DWORD processId, const char* className, const char* caption) {
  Search search{processId, className, caption, nullptr};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::string toAnsi(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), n,
                      nullptr, nullptr);
  return text;
}

HWND waitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs) {
  DWORD started = GetTickCount();
  for (;;) {
    if (HWND window = findWindow(processId, className, caption)) return window;
    if (GetTickCount() - started > timeoutMs) return nullptr;
    Sleep(20);
  }
}

bool noWindowWithin(DWORD processId, const char* className, const char* caption, DWORD timeoutMs) {
  return waitForWindow(processId, className, caption, timeoutMs) == nullptr;
}

std::string windowText(HWND window) {
  int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return toAnsi(text);
}

std::string messageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? windowText(text) : std::string();
}

std::vector<std::string> listBoxRows(HWND listBox) {
  std::vector<std::string> rows;
  int count = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int length = static_cast<int>(SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    std::wstring row(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row.data()));
    row.resize(wcslen(row.c_str()));
    rows.push_back(toAnsi(row));
  }
  return rows;
}

void pressButton(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

bool waitUntilGone(HWND window, DWORD timeoutMs) {
  DWORD started = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount() - started > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace kvtest
