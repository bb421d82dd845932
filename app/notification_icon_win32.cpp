#include "app/notification_icon_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr UINT kIconId = 1;

// As much of the text as the field holds, with its terminating zero; a
// character is never cut in two.
template <std::size_t size>
void copyInto(wchar_t (&field)[size], const std::string& text) {
  const std::wstring wide = toWide(utf16Head(text, size - 1));
  wide.copy(field, size - 1);
  field[std::min(wide.size(), size - 1)] = L'\0';
}

}  // namespace

NOTIFYICONDATAW NotificationIcon::data(UINT flags) const {
  NOTIFYICONDATAW icon{};
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
  NOTIFYICONDATAW icon = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  shown_ = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
  if (shown_) {
    // Clicks and the keyboard's select come as NIN_SELECT and NIN_KEYSELECT.
    icon.uVersion = NOTIFYICON_VERSION;
    Shell_NotifyIconW(NIM_SETVERSION, &icon);
  }
  return shown_;
}

bool NotificationIcon::showBalloon(const Balloon& balloon) {
  if (!shown_) return false;
  NOTIFYICONDATAW icon = data(NIF_INFO);
  copyInto(icon.szInfoTitle, balloon.title);
  copyInto(icon.szInfo, balloon.text);
  icon.dwInfoFlags = NIIF_ERROR;
  if (!Shell_NotifyIconW(NIM_MODIFY, &icon)) return false;
  lastBalloon_ = balloon;
  return true;
}

void NotificationIcon::setTip(const std::string& tip) {
  if (!shown_ || tip == tip_) return;
  tip_ = tip;
  NOTIFYICONDATAW icon = data(NIF_TIP);
  Shell_NotifyIconW(NIM_MODIFY, &icon);
}

void NotificationIcon::hide() {
  if (!shown_) return;
  NOTIFYICONDATAW icon = data(0);
  Shell_NotifyIconW(NIM_DELETE, &icon);
  shown_ = false;
}

void NotificationIcon::showAgain() {
  if (!shown_) return;
  shown_ = false;
  show(tip_);
}

}  // namespace kv
