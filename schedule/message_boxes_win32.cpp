#include "schedule/message_boxes_win32.h"

#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

UINT buttonsStyle(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel:
      return MB_OKCANCEL;
    case BoxButtons::YesNo:
      return MB_YESNO;
    case BoxButtons::YesNoCancel:
      return MB_YESNOCANCEL;
    default:
      return MB_OK;
  }
}

UINT iconStyle(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Exclamation:
      return MB_ICONEXCLAMATION;
    case BoxIcon::Stop:
      return MB_ICONHAND;
    case BoxIcon::Information:
      return MB_ICONINFORMATION;
    default:
      return 0;
  }
}

UINT modalityStyle(BoxModality modality) {
  switch (modality) {
    case BoxModality::TaskOwned:
    case BoxModality::TaskUnowned:
      return MB_TASKMODAL;
    case BoxModality::System:
      return MB_SYSTEMMODAL;
    default:
      return MB_APPLMODAL;
  }
}

BoxAnswer answerOf(int pressed) {
  switch (pressed) {
    case IDYES:
      return BoxAnswer::Yes;
    case IDNO:
      return BoxAnswer::No;
    case IDOK:
      return BoxAnswer::Ok;
    default:
      return BoxAnswer::Cancel;
  }
}

}  // namespace

int showMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  HWND active = GetActiveWindow();
  HWND focus = GetFocus();
  const bool wasForeground = active && GetForegroundWindow() == active;
  const int pressed =
      MessageBoxW(owner, toWide(text).c_str(), caption ? toWide(caption).c_str() : nullptr, type);
  // A window the box's answer hid or destroyed is left alone.
  if (active && IsWindow(active) && IsWindowVisible(active)) {
    // A box without an owner hands the activation to whatever window comes
    // next when it closes, often another program's: a window that was in
    // front takes it back, one that was not only becomes its thread's active.
    if (wasForeground) {
      SetForegroundWindow(active);
    } else {
      SetActiveWindow(active);
    }
    if (focus && (focus == active || IsChild(active, focus))) SetFocus(focus);
  }
  return pressed;
}

BoxAnswer WindowsMessageBoxes::show(const BoxRequest& box) {
  HWND owner = box.modality == BoxModality::TaskUnowned ? nullptr : owner_;
  const UINT type = buttonsStyle(box.buttons) | iconStyle(box.icon) | modalityStyle(box.modality);
  return answerOf(showMessageBox(owner, box.text.c_str(),
                                 box.caption.empty() ? nullptr : box.caption.c_str(), type));
}

}  // namespace kv
