// The Add/Edit dialog (template KV_ENTRY): the fields of one entry in, the
// entry OK accepted out. The dialog never touches the schedule; whoever
// opens it takes an edited entry out, files the result or puts it back.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "editor/entry_form.h"

namespace kv {

struct EntryDialogValues {
  EditorMode mode = EditorMode::Add;
  EntryForm form;  // what the fields show when the dialog opens
  bool associationWarning = true;
  std::string languageCode;  // names the months when the locale cannot
  // Opens the help at its part on the entry dialog, owned by the dialog.
  std::function<void(HWND dialog)> showHelp;
  // The program directory remembered between dialogs: OK in Add and Browse
  // fill it while it is empty.
  std::string programDirectory;
};

struct EntryDialogResult {
  bool shown = true;  // false: the dialog could not be created
  // The entry OK accepted; empty after Cancel.
  std::optional<ScheduleEntry> entry;
  // The entry's working directory is the remembered program directory,
  // which is forgotten once the entry is filed.
  bool takesProgramDir = false;
  // The program directory to remember, however the dialog ended.
  std::string programDirectory;
};

// Shows the dialog, modal to `owner`.
EntryDialogResult askEntry(HINSTANCE instance, HWND owner, const EntryDialogValues& values);

}  // namespace kv
