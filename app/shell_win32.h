// The Windows shell, as the engine sees it: it starts files and tells when
// the programs it started have ended.
#pragma once

#include <windows.h>

#include "engine/launcher.h"

namespace kv {

// Starts files with ShellExecuteExW, showing the wait cursor with the mouse
// captured by the owner for the length of the call, and hands back the
// process the shell started, when it gives one.
class WindowsShell final : public Shell, public ProcessWatcher {
 public:
  explicit WindowsShell(HWND owner) : owner_(owner) {}
  ShellStart start(const std::string& verb, const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) override;
  std::optional<ProgramExit> exitOf(ProcessToken process) override;
  void release(ProcessToken process) override;

 private:
  HWND owner_;
};

// Shows the wait cursor and captures the mouse while it lives.
class WaitCursor {
 public:
  explicit WaitCursor(HWND owner);
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace kv
