#include "app/shell_win32.h"

#include <shellapi.h>

namespace kv {

WaitCursor::WaitCursor(HWND owner) {
  HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
  SetCapture(owner);
  previous_ = SetCursor(wait);
}

WaitCursor::~WaitCursor() {
  SetCursor(previous_);
  ReleaseCapture();
}

unsigned WindowsShell::execute(const std::string& verb, const std::string& file,
                               const std::string& parameters, const std::string& directory,
                               int showCommand) {
  WaitCursor wait(owner_);
  HINSTANCE result = ShellExecuteA(owner_, verb.c_str(), file.c_str(), parameters.c_str(),
                                   directory.c_str(), showCommand);
  return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(result));
}

}  // namespace kv
