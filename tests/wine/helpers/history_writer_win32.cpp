// The history file as kv.exe writes it, for the tests and the benchmark:
//   kv_history_writer PATH COUNT ID   appends COUNT records whose description
//                                     is "ID n" and prints the time a line took
//   kv_history_writer --open PATH     opens the History window on PATH and
//                                     prints the time until its list showed
// Exit status 0 when every append succeeded, or the window showed.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

int append(const char* path, int count, const char* id) {
  kv::HistoryFile file(path);
  kv::HistoryRecord record;
  record.commandLine = "C:\\tools\\job.exe /night";
  record.outcome = std::string(kv::kStartedOutcome);
  int failed = 0;
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  for (int n = 0; n < count; ++n) {
    record.attempted = record.due = 1700000000u + static_cast<kv::Time>(n);
    record.description = std::string(id) + " " + std::to_string(n);
    if (!file.append(kv::historyLine(record, kv::ansiToUtf8))) ++failed;
  }
  std::printf("%.3f ms a line\n", millisecondsSince(start) / count);
  return failed == 0 ? 0 : 1;
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
  if (argc == 3 && std::strcmp(argv[1], "--open") == 0) return openWindow(argv[2]);
  if (argc == 4) return append(argv[1], std::atoi(argv[2]), argv[3]);
  return 2;
}
