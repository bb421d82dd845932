// Times the History window under Wine: opens it on the history file PATH
// and prints the time until its list showed the records.
//   kv_history_window_bench PATH
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <thread>

#include "app/history_file_win32.h"
#include "app/history_window_win32.h"
#include "resources/resource_ids.h"

namespace {

double millisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now{}, frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

int openWindow(const char* path) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  kv::HistoryFile file(path);
  LARGE_INTEGER start{};
  double shown = -1;
  std::thread watch([&] {
    for (int tries = 0; tries < 5000; ++tries) {
      HWND window = FindWindowA("#32770", "History");
      if (window && IsWindowVisible(window) &&
          SendDlgItemMessageA(window, IDC_HISTORY_LIST, LVM_GETITEMCOUNT, 0, 0) > 0) {
        shown = millisecondsSince(start);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      Sleep(1);
    }
  });
  QueryPerformanceCounter(&start);
  kv::showHistoryWindow(GetModuleHandleA(nullptr), nullptr, {[&] { return file.readAll(); }, ""});
  watch.join();
  std::printf("%.1f ms until the window listed the history\n", shown);
  return shown >= 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return openWindow(argv[1]);
}
