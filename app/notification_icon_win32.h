// The icon in the notification area that stands for Kivro while its window
// is hidden, and that carries the balloon of a failure: Shell_NotifyIconW,
// with its clicks and the balloon's going sent to the main window as
// WM_NOTIFICATION_ICON.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/failure_notice.h"

namespace kv {

class NotificationIcon {
 public:
  NotificationIcon(HWND owner, HICON icon) : owner_(owner), icon_(icon) {}
  ~NotificationIcon() { hide(); }
  NotificationIcon(const NotificationIcon&) = delete;
  NotificationIcon& operator=(const NotificationIcon&) = delete;

  // Adds the icon with its tip, or gives the icon shown that tip; true once
  // the shell has it.
  bool show(const std::string& tip);
  // Shows a balloon from the icon shown, with the error icon, in place of
  // any balloon showing. True once the shell took it.
  bool showBalloon(const Balloon& balloon);
  // A new tip, when it is shown and the tip differs.
  void setTip(const std::string& tip);
  void hide();
  // Explorer started again ("TaskbarCreated"): an icon that was shown is
  // added again.
  void showAgain();
  bool shown() const { return shown_; }
  const std::string& tip() const { return tip_; }
  // The last balloon the shell took.
  const Balloon& lastBalloon() const { return lastBalloon_; }

 private:
  NOTIFYICONDATAW data(UINT flags) const;

  HWND owner_;
  HICON icon_;
  std::string tip_;
  Balloon lastBalloon_;
  bool shown_ = false;
};

}  // namespace kv
