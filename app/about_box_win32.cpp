#include "app/about_box_win32.h"

#include "app/dialog_box_win32.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

struct AboutValues {
  HINSTANCE instance;
  std::string productName;
  std::string versionLine;
};

// The icon is drawn over the dialog after the dialog manager has painted it.
void drawAboutIcon(HWND dialog, HINSTANCE instance) {
  HWND place = GetDlgItem(dialog, IDC_ABOUT_ICON);
  HICON icon = LoadIconW(instance, L"" IDI_PROGRAM);
  if (!place || !icon) return;
  RECT area{};
  GetWindowRect(place, &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  if (HDC dc = GetDC(dialog)) {
    DrawIcon(dc, area.left, area.top, icon);
    ReleaseDC(dialog, dc);
  }
}

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto* values = reinterpret_cast<AboutValues*>(lParam);
      SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, toWide(values->productName).c_str());
      SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, toWide(values->versionLine).c_str());
      return TRUE;
    }
    case WM_PAINT:
      PostMessageW(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_DRAW_ICON: {
          auto* values = reinterpret_cast<AboutValues*>(GetWindowLongPtrW(dialog, DWLP_USER));
          drawAboutIcon(dialog, values->instance);
          return TRUE;
        }
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, IDOK);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

void showAboutBox(HINSTANCE instance, HWND owner, const std::string& productName,
                  const std::string& versionText) {
  AboutValues values{instance, productName, "Version " + versionText};
  runDialog(instance, owner, IDD_ABOUT, aboutProcedure, reinterpret_cast<LPARAM>(&values));
}

}  // namespace kv
