// Modal dialogs of the frame, and the report of one that cannot be made.
#pragma once

#include <windows.h>

namespace kv {

// Runs a modal dialog owned by `owner`. When it cannot be created, says so
// in a system-modal box whose text is the template's name; returns -1 then.
INT_PTR runDialog(HINSTANCE instance, HWND owner, const char* templateName, DLGPROC procedure,
                  LPARAM parameter);

// Tells the user that a dialog could not be created.
void reportDialogNotCreated(HWND owner, const char* templateName);

}  // namespace kv
