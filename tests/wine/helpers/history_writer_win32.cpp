// Appends to a history file as kv.exe does, for the test of two writers at
// once:
//   kv_history_writer PATH COUNT ID
// appends COUNT records whose description is "ID n". Exit status 0 when
// every append succeeded.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/history_file_win32.h"

namespace {

int append(const char* path, int count, const char* id) {
  kv::HistoryFile file(path);
  kv::HistoryRecord record;
  record.commandLine = "C:\\tools\\job.exe /night";
  record.outcome = std::string(kv::kStartedOutcome);
  int failed = 0;
  for (int n = 0; n < count; ++n) {
    record.attempted = record.due = 1700000000u + static_cast<kv::Time>(n);
    record.description = std::string(id) + " " + std::to_string(n);
    if (!file.append(kv::historyLine(record))) ++failed;
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  return append(argv[1], std::atoi(argv[2]), argv[3]);
}
