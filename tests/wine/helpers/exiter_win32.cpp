// A program for the tests to schedule that ends as they ask: it waits, then
// ends with the given exit code. It shows no window.
//
//   kv_exiter CODE MILLISECONDS [TAG]
//
// CODE is decimal, 0 to 4294967295 (3221225477 is 0xC0000005, the code of a
// crash). With KV_RECORD_FILE set it first appends "exiter TAG pid=N" to
// that file (record_file_win32.h; " at=..." follows with KV_RECORD_TIME), so
// that a test can count its starts and find the process by its tag. A wrong
// command line ends it at once with 87 (ERROR_INVALID_PARAMETER).
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>

#include "record_file_win32.h"

namespace {

constexpr int kUsageError = ERROR_INVALID_PARAMETER;

// A whole decimal number up to `limit`, nothing else.
std::optional<unsigned long long> decimal(const char* text, unsigned long long limit) {
  if (!text || *text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || value > limit) return std::nullopt;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string stamp = kvhelper::startStamp();
  if (argc < 3 || argc > 4) return kUsageError;
  const auto code = decimal(argv[1], 0xFFFFFFFFull);
  const auto milliseconds = decimal(argv[2], 0xFFFFFFFEull);  // INFINITE is no wait
  if (!code || !milliseconds) return kUsageError;
  if (std::getenv("KV_RECORD_FILE")) {
    const std::string tag = argc == 4 ? std::string(argv[3]) + " " : "";
    kvhelper::appendRecordLine("exiter " + tag + "pid=" + std::to_string(GetCurrentProcessId()) +
                               stamp + "\r\n");
  }
  Sleep(static_cast<DWORD>(*milliseconds));
  // ExitProcess, not a return: the runtime's exit would keep only a signed
  // int, and the code must reach the parent whole.
  ExitProcess(static_cast<UINT>(*code));
}
