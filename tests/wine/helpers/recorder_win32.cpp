// A program for the tests to schedule: it appends one line to the file
// named by KV_RECORD_FILE (default C:\kv_recorder.log) with its command line
// parameters, its working directory and the show command it was started
// with, then ends. With KV_RECORD_TIME set, the line also carries the moment
// it started, " at=<milliseconds since 1970, UTC>", for the soak run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR parameters, int) {
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, directory);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

  // The moment of starting, before anything that could wait.
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  constexpr unsigned long long kUnixEpochInFileTime = 116444736000000000ull;
  unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const char* timed = std::getenv("KV_RECORD_TIME");
  char stamp[40] = "";
  if (timed && *timed) {
    std::snprintf(stamp, sizeof stamp, " at=%llu", (ticks - kUnixEpochInFileTime) / 10000u);
  }

  const char* target = std::getenv("KV_RECORD_FILE");
  std::string path = target && *target ? target : "C:\\kv_recorder.log";
  // Several copies may start at once: retry while another holds the file.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char line[1024];
      int n = std::snprintf(line, sizeof line, "params=[%s] dir=[%s] show=%d%s\r\n", parameters,
                            directory, show, stamp);
      DWORD written = 0;
      if (n > 0) WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(10);
  }
  return 1;
}
