// The Windows shell, as the engine sees it.
#pragma once

#include <windows.h>

#include "engine/launcher.h"

namespace kv {

// Starts files with ShellExecuteA, showing the wait cursor with the mouse
// captured by the owner for the length of the call.
class WindowsShell final : public Shell {
 public:
  explicit WindowsShell(HWND owner) : owner_(owner) {}
  unsigned execute(const std::string& verb, const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) override;

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
