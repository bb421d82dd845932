// Message boxes on Windows.
#pragma once

#include <windows.h>

#include "schedule/message_boxes.h"

namespace kv {

// MessageBoxW of UTF-8 texts, after which the window that was active and the control that
// had the focus have them again. A box without an owner does not give them
// back by itself, which leaves the keyboard with no window to go to.
int showMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The boxes of one window (the main window, or a dialog).
class WindowsMessageBoxes final : public MessageBoxes {
 public:
  explicit WindowsMessageBoxes(HWND owner) : owner_(owner) {}
  BoxAnswer show(const BoxRequest& box) override;

 private:
  HWND owner_;
};

}  // namespace kv
