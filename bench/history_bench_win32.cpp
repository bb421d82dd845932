// Times the history of starts under Wine, on a new history file PATH:
//   kv_history_bench PATH
// the mean append of a line over 2,000, then, with the file filled to just
// under its limit, the History window until its list showed the records.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
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

constexpr int kTimedAppends = 2000;

// Appends until the file is about to move aside; prints the mean time of
// the first kTimedAppends.
bool fill(const char* path) {
  kv::HistoryFile file(path);
  kv::HistoryRecord record;
  record.commandLine = "C:\\tools\\job.exe /night";
  record.outcome = std::string(kv::kStartedOutcome);
  LARGE_INTEGER start{};
  QueryPerformanceCounter(&start);
  std::uint64_t written = 0;
  for (int n = 0; written + 200 < kv::kHistoryLimit; ++n) {
    record.attempted = record.due = 1700000000u + static_cast<kv::Time>(n);
    record.description = "bench " + std::to_string(n);
    const std::string line = kv::historyLine(record);
    if (!file.append(line)) return false;
    written += line.size() + 2;
    if (n + 1 == kTimedAppends) {
      std::printf("append:  %.3f ms a line\n", millisecondsSince(start) / kTimedAppends);
    }
  }
  std::printf("window:  %llu bytes, ", static_cast<unsigned long long>(written));
  return true;
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
  if (!fill(argv[1])) return 1;
  return openWindow(argv[1]);
}
