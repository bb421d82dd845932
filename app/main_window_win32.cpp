#include "app/main_window_win32.h"

#include <shellapi.h>
#include <commctrl.h>
#include <windowsx.h>

#include <optional>

#include "app/commands_win32.h"
#include "app/kivro_win32.h"
#include "app/single_instance_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

Kivro& app(HWND window) {
  return *kivroOf(window);
}

BOOL onCreate(HWND window, LPCREATESTRUCTW create) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  return TRUE;
}

void onCommand(HWND window, int id, HWND control, UINT code) {
  if (code == LBN_DBLCLK) {
    runCommand(app(window).parts(), IDM_EDIT);
  } else if (!runCommand(app(window).parts(), id)) {
    FORWARD_WM_COMMAND(window, id, control, code, DefWindowProcW);
  }
  app(window).followSchedule();
}

// The Details view: a double-click edits, as in the Rows view; the list
// view asks for its texts and for the row that typed letters find.
LRESULT onNotify(HWND window, int id, LPNMHDR header) {
  if (id != IDC_DETAILS) return 0;
  if (header->code == NM_DBLCLK) {
    onCommand(window, IDM_EDIT, nullptr, 0);
    return 0;
  }
  return app(window).details().onNotify(*header);
}

void onInitMenu(HWND window, HMENU menu) {
  updateMenu(menu, app(window).commandState());
}

void onTimer(HWND window, UINT id) {
  if (id == ID_HIDE_TIMER) app(window).hideIfMinimized();
  app(window).checkDueEntriesNow();
}

// After sleep or hibernation, and when the clock is set, due entries start
// now rather than at the next tick.
void onClockMoved(HWND window) {
  app(window).checkDueEntriesNow();
}

bool isResume(WPARAM event) {
  return event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND;
}

// Clicks on the notification-area icon: a click, a double-click or the
// keyboard's select brings the window back; a right-click opens the menu.
// The failure balloon tells when it goes, and when it is clicked.
void onNotificationIcon(HWND window, LPARAM event) {
  switch (LOWORD(event)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      app(window).bringBack();
      break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONUP:
      showNotificationMenu(app(window).parts());
      break;
    case NIN_BALLOONTIMEOUT:
    case NIN_BALLOONHIDE:
      app(window).balloonGone();
      break;
    case NIN_BALLOONUSERCLICK:
      app(window).balloonClicked();
      break;
    default:
      break;
  }
}

void onSize(HWND window, UINT state, int width, int height) {
  if (state == SIZE_MINIMIZED) app(window).armHideTimer();
  app(window).layOut(width, height);
}

void onSetFocus(HWND window, HWND) {
  if (HWND list = app(window).list()) SetFocus(list);
}

void onDropFiles(HWND window, HDROP drop) {
  runDrop(app(window).parts(), drop);
}

BOOL onCopyData(HWND window, HWND, PCOPYDATASTRUCT data) {
  Kivro& kivro = app(window);
  return answerHoldsFileQuery(kivro.parts().document.fileName, kivro, data);
}

void onClose(HWND window) {
  if (mayCloseWithChanges(app(window).parts())) DestroyWindow(window);
}

BOOL onQueryEndSession(HWND window) {
  return mayCloseWithChanges(app(window).parts());
}

void onDestroy(HWND window) {
  app(window).windowDestroyed();
  DragAcceptFiles(window, FALSE);
  PostQuitMessage(0);
}

// The messages of running unseen: the icon's clicks, Explorer starting
// again, waking up and the clock being set. Empty for any other message.
std::optional<LRESULT> handleUnseenMessage(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  // Explorer tells every window when it starts again.
  static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  if (message == taskbarCreated && taskbarCreated != 0) {
    app(window).notificationAreaRestarted();
    return 0;
  }
  switch (message) {
    case WM_NOTIFICATION_ICON:
      onNotificationIcon(window, lParam);
      return 0;
    case WM_POWERBROADCAST:
      if (isResume(wParam)) onClockMoved(window);
      return TRUE;
    case WM_TIMECHANGE:
      onClockMoved(window);
      return 0;
    default:
      return std::nullopt;
  }
}

// A second start asking for its schedule, and the window's end: closing,
// the end of the Windows session, destruction.
std::optional<LRESULT> handleLifetimeMessage(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      // The cracker drops the answer, which is the point of the message.
      return onCopyData(window, reinterpret_cast<HWND>(wParam),
                        reinterpret_cast<PCOPYDATASTRUCT>(lParam));
    case WM_CLOSE:
      HANDLE_WM_CLOSE(window, wParam, lParam, onClose);
      return 0;
    case WM_QUERYENDSESSION:
      return HANDLE_WM_QUERYENDSESSION(window, wParam, lParam, onQueryEndSession);
    case WM_DESTROY:
      HANDLE_WM_DESTROY(window, wParam, lParam, onDestroy);
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) onCreate(window, reinterpret_cast<LPCREATESTRUCTW>(lParam));
  if (!kivroOf(window)) return DefWindowProcW(window, message, wParam, lParam);
  if (const auto handled = handleUnseenMessage(window, message, wParam, lParam)) return *handled;
  switch (message) {
    case WM_COMMAND:
      HANDLE_WM_COMMAND(window, wParam, lParam, onCommand);
      return 0;
    case WM_NOTIFY:
      return HANDLE_WM_NOTIFY(window, wParam, lParam, onNotify);
    case WM_INITMENU:
      HANDLE_WM_INITMENU(window, wParam, lParam, onInitMenu);
      return 0;
    case WM_TIMER:
      // Every timer runs the due check, then goes on to DefWindowProcW.
      HANDLE_WM_TIMER(window, wParam, lParam, onTimer);
      break;
    case WM_SIZE:
      HANDLE_WM_SIZE(window, wParam, lParam, onSize);
      break;
    case WM_SETFOCUS:
      HANDLE_WM_SETFOCUS(window, wParam, lParam, onSetFocus);
      break;
    case WM_DROPFILES:
      HANDLE_WM_DROPFILES(window, wParam, lParam, onDropFiles);
      return 0;
  }
  if (const auto handled = handleLifetimeMessage(window, message, wParam, lParam)) return *handled;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kv
