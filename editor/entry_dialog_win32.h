// The Add/Edit dialog (template KV_ENTRY): one entry added or changed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "schedule/schedule_store.h"

namespace kv {

// What the entry dialog works with; the application owns all of it.
struct EntryEditorContext {
  HINSTANCE instance = nullptr;
  HWND owner = nullptr;  // the main window
  ScheduleStore* store = nullptr;
  // The remembered program directory, kept between dialogs for the whole run.
  std::string* programDir = nullptr;
  bool associationWarning = true;
  std::string languageCode;  // names the months when the locale cannot
  // Opens the help at its part on the entry dialog, owned by the dialog.
  std::function<void(HWND dialog)> showHelp;
};

// Add: a new entry, or one for a dropped file when droppedPath is not empty.
// Edit: the entry of the visible list's selected row (nothing without one).
// Both return IDOK when an entry was filed, IDCANCEL when not, and -1 when
// the dialog could not be created (the caller tells the user).
INT_PTR runAddDialog(const EntryEditorContext& context, const std::string& droppedPath = "");
INT_PTR runEditDialog(const EntryEditorContext& context);

}  // namespace kv
