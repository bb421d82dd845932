// Appends history lines as kv.exe does, for the test of two writers at once:
//   kv_history_writer PATH COUNT ID
// writes COUNT records whose description is "ID n" to the history at PATH.
// Exit status 0 when every append succeeded.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/history_file_win32.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  kv::HistoryFile file(argv[1]);
  const int count = std::atoi(argv[2]);
  kv::HistoryRecord record;
  record.commandLine = "C:\\tools\\job.exe /night";
  record.outcome = std::string(kv::kStartedOutcome);
  int failed = 0;
  for (int n = 0; n < count; ++n) {
    record.attempted = record.due = 1700000000u + static_cast<kv::Time>(n);
    record.description = std::string(argv[3]) + " " + std::to_string(n);
    if (!file.append(kv::historyLine(record, kv::ansiToUtf8))) ++failed;
  }
  return failed == 0 ? 0 : 1;
}
