#include "app/shell_win32.h"

#include <shellapi.h>

#include "schedule/code_pages_win32.h"

namespace kv {

WaitCursor::WaitCursor(HWND owner) {
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  SetCapture(owner);
  previous_ = SetCursor(wait);
}

WaitCursor::~WaitCursor() {
  SetCursor(previous_);
  ReleaseCapture();
}

namespace {

HANDLE handleOf(ProcessToken process) {
  return reinterpret_cast<HANDLE>(process);
}

std::uint64_t ticksOf(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// A failure the shell reported without its result: the system error, which
// is the shell's result for the errors the two share (2, 3, 5, 8, 11).
unsigned failureOf(DWORD error) {
  if (error == ERROR_NO_ASSOCIATION) return SE_ERR_NOASSOC;
  return error < 32 ? static_cast<unsigned>(error) : 0;
}

// How long the process ran, to the nearest second, from its own times.
Time secondsRun(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  const std::uint64_t from = ticksOf(created);
  const std::uint64_t to = ticksOf(exited);
  constexpr std::uint64_t kTicksPerSecond = 10'000'000;
  return to > from ? static_cast<Time>((to - from + kTicksPerSecond / 2) / kTicksPerSecond) : 0;
}

}  // namespace

ShellStart WindowsShell::start(const std::string& verb, const std::string& file,
                               const std::string& parameters, const std::string& directory,
                               int showCommand) {
  WaitCursor wait(owner_);
  const std::wstring wideVerb = toWide(verb);
  const std::wstring wideFile = toWide(file);
  const std::wstring wideParameters = toWide(parameters);
  const std::wstring wideDirectory = toWide(directory);
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof request;
  // The shell's own boxes stay away: Kivro tells of a failure in its own.
  request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  request.hwnd = owner_;
  request.lpVerb = wideVerb.c_str();
  request.lpFile = wideFile.c_str();
  request.lpParameters = wideParameters.c_str();
  request.lpDirectory = wideDirectory.c_str();
  request.nShow = showCommand;
  const bool ok = ShellExecuteExW(&request) != FALSE;
  // hInstApp carries the same result ShellExecuteW gives, on failure too.
  ShellStart started{static_cast<unsigned>(reinterpret_cast<UINT_PTR>(request.hInstApp))};
  if (!ok && !isLaunchFailure(started.result)) started.result = failureOf(GetLastError());
  if (request.hProcess) {
    if (isLaunchFailure(started.result)) {
      CloseHandle(request.hProcess);
    } else {
      started.process = reinterpret_cast<ProcessToken>(request.hProcess);
    }
  }
  return started;
}

std::optional<ProgramExit> WindowsShell::exitOf(ProcessToken process) {
  const HANDLE handle = handleOf(process);
  if (WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(handle, &code);
  return ProgramExit{code, secondsRun(handle)};
}

void WindowsShell::release(ProcessToken process) {
  CloseHandle(handleOf(process));
}

}  // namespace kv
