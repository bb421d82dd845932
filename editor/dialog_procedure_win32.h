// The frame every dialog procedure of Kivro shares: its state is attached
// at WM_INITDIALOG, so a message before it finds none and is left to the
// dialog manager; and no exception may leave a procedure Windows calls, so
// one (memory running out) ends the dialog as Cancel does, after
// `onFailure` has told the user what it must.
#pragma once

#include <windows.h>

namespace kv {

template <typename Handler, typename OnFailure>
INT_PTR guardedDialogMessage(HWND dialog, UINT message, Handler handle, OnFailure onFailure) {
  if (message != WM_INITDIALOG && GetWindowLongPtrW(dialog, DWLP_USER) == 0) return FALSE;
  try {
    return handle();
  } catch (...) {
    onFailure();
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}

}  // namespace kv
