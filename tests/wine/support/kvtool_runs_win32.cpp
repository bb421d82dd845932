#include "kvtool_runs_win32.h"

#include <windows.h>

#include "kivro_process_win32.h"
#include "test_schedules.h"

namespace kvtest {

std::string runKvtool(const std::string& arguments, const std::string& output) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE out =
      CreateFileW(wideOf(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return "(no output file)";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  std::wstring line = wideOf("\"" + windowsPath(KV_KVTOOL_PATH) + "\" " + arguments);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  return readFile(output);
}

}  // namespace kvtest
