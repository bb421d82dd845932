// The icon in the notification area that stands for Kivro while its window
// is hidden: Shell_NotifyIconA, with its clicks sent to the main window as
// WM_NOTIFICATION_ICON.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace kv {

class NotificationIcon {
 public:
  NotificationIcon(HWND owner, HICON icon) : owner_(owner), icon_(icon) {}
  ~NotificationIcon() { hide(); }
  NotificationIcon(const NotificationIcon&) = delete;
  NotificationIcon& operator=(const NotificationIcon&) = delete;

  // Adds the icon with its tip; true once the shell has it.
  bool show(const std::string& tip);
  // A new tip, when it is shown and the tip differs.
  void setTip(const std::string& tip);
  void hide();
  // Explorer started again ("TaskbarCreated"): an icon that was shown is
  // added again.
  void showAgain();
  bool shown() const { return shown_; }
  const std::string& tip() const { return tip_; }

 private:
  NOTIFYICONDATAA data(UINT flags) const;

  HWND owner_;
  HICON icon_;
  std::string tip_;
  bool shown_ = false;
};

}  // namespace kv
