// Appends to a history file as kv.exe does, for the test of two writers at
// once:
//   kv_history_writer PATH COUNT ID
// appends COUNT records whose description is "ID n". Exit status 0 when
// every append succeeded. The arguments are read in Unicode: the path may
// lie beyond the ANSI code page.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "app/history_file_win32.h"
#include "schedule/code_pages_win32.h"

namespace {

int append(const std::string& path, int count, const std::string& id) {
  kv::HistoryFile file(path);
  kv::HistoryRecord record;
  record.commandLine = "C:\\tools\\job.exe /night";
  record.outcome = std::string(kv::kStartedOutcome);
  int failed = 0;
  for (int n = 0; n < count; ++n) {
    record.attempted = record.due = 1700000000u + static_cast<kv::Time>(n);
    record.description = id + " " + std::to_string(n);
    if (!file.append(kv::historyLine(record))) ++failed;
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const int status =
      argv && argc == 4 ? append(kv::toUtf8(argv[1]), _wtoi(argv[2]), kv::toUtf8(argv[3])) : 2;
  LocalFree(argv);
  return status;
}
