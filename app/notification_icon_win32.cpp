#include "app/notification_icon_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr UINT kIconId = 1;

// As much of the text as the field holds, with its terminating zero.
template <std::size_t size>
void copyInto(char (&field)[size], const std::string& text) {
  const std::size_t length = std::min(text.size(), size - 1);
  text.copy(field, length);
  field[length] = '\0';
}

}  // namespace

NOTIFYICONDATAA NotificationIcon::data(UINT flags) const {
  NOTIFYICONDATAA icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = owner_;
  icon.uID = kIconId;
  icon.uFlags = flags;
  icon.uCallbackMessage = WM_NOTIFICATION_ICON;
  icon.hIcon = icon_;
  copyInto(icon.szTip, tip_);
  return icon;
}

bool NotificationIcon::show(const std::string& tip) {
  if (shown_) {
    setTip(tip);
    return true;
  }
  tip_ = tip;
  NOTIFYICONDATAA icon = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  shown_ = Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
  if (shown_) {
    // Clicks and the keyboard's select come as NIN_SELECT and NIN_KEYSELECT.
    icon.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconA(NIM_SETVERSION, &icon);
  }
  return shown_;
}

bool NotificationIcon::showBalloon(const Balloon& balloon) {
  if (!shown_) return false;
  NOTIFYICONDATAA icon = data(NIF_INFO);
  copyInto(icon.szInfoTitle, balloon.title);
  copyInto(icon.szInfo, balloon.text);
  icon.dwInfoFlags = NIIF_ERROR;
  if (!Shell_NotifyIconA(NIM_MODIFY, &icon)) return false;
  lastBalloon_ = balloon;
  return true;
}

void NotificationIcon::setTip(const std::string& tip) {
  if (!shown_ || tip == tip_) return;
  tip_ = tip;
  NOTIFYICONDATAA icon = data(NIF_TIP);
  Shell_NotifyIconA(NIM_MODIFY, &icon);
}

void NotificationIcon::hide() {
  if (!shown_) return;
  NOTIFYICONDATAA icon = data(0);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  shown_ = false;
}

void NotificationIcon::showAgain() {
  if (!shown_) return;
  shown_ = false;
  show(tip_);
}

}  // namespace kv
