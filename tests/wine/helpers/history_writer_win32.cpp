// Appends to a history file as kv.exe does, for the test of two writers at
// once and the benchmark:
//   kv_history_writer PATH COUNT ID
// appends COUNT records whose description is "ID n" and prints the time a
// line took. Exit status 0 when every append succeeded.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/history_file_win32.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  return append(argv[1], std::atoi(argv[2]), argv[3]);
}
