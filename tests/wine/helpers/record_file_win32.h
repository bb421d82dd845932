// What the helper programs that the tests schedule write about their start:
// one line appended to the file named by KV_RECORD_FILE (default
// C:\kv_recorder.log), so that a test can count and tell apart the starts.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kvhelper {

// " at=<milliseconds since 1970, UTC>" when KV_RECORD_TIME is set, for the
// soak run; empty otherwise. Read first thing, before anything that waits.
inline std::string startStamp() {
  const char* timed = std::getenv("KV_RECORD_TIME");
  if (!timed || !*timed) return "";
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  constexpr unsigned long long kUnixEpochInFileTime = 116444736000000000ull;
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, " at=%llu", (ticks - kUnixEpochInFileTime) / 10000u);
  return stamp;
}

// Appends the line (with its line end) in one write. Several helpers may
// start at once: it retries while another holds the file.
inline bool appendRecordLine(const std::string& line) {
  const char* target = std::getenv("KV_RECORD_FILE");
  const std::string path = target && *target ? target : "C:\\kv_recorder.log";
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return written == line.size();
    }
    Sleep(10);
  }
  return false;
}

}  // namespace kvhelper
