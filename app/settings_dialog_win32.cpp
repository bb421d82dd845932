#include "app/settings_dialog_win32.h"

#include "app/dialog_box_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

struct CheckIntervalValues {
  std::uint32_t time = 0;
};

INT_PTR CALLBACK settingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      auto* values = reinterpret_cast<CheckIntervalValues*>(lParam);
      SetDlgItemInt(dialog, IDC_CHECK_INTERVAL, values->time, FALSE);
      return TRUE;  // the first tab stop, the number, gets the focus
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          auto* values =
              reinterpret_cast<CheckIntervalValues*>(GetWindowLongPtrW(dialog, DWLP_USER));
          // A text that is not an unsigned number reads as 0.
          values->time = GetDlgItemInt(dialog, IDC_CHECK_INTERVAL, nullptr, FALSE);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

std::optional<std::uint32_t> askCheckInterval(HINSTANCE instance, HWND owner, std::uint32_t time) {
  CheckIntervalValues values{time};
  INT_PTR result = runDialog(instance, owner, IDD_SETTINGS, settingsProcedure,
                             reinterpret_cast<LPARAM>(&values));
  if (result != IDOK) return std::nullopt;
  return values.time;
}

}  // namespace kv
