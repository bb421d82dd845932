#include "app/file_commands_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <iterator>
#include <optional>

#include "app/command_parts_win32.h"
#include "app/logon_start.h"
#include "app/shell_win32.h"
#include "app/unsaved_changes.h"
#include "schedule/code_pages_win32.h"
#include "schedule/file_io_win32.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr wchar_t kFileFilter[] = L"KV Files (*.KV)\0*.KV\0All Files (*.*)\0*.*\0";
constexpr DWORD kSaveDialogFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
constexpr DWORD kOpenDialogFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

// Runs a common file dialog on a buffer of the file name's room, in
// characters; returns the chosen path, or nothing when the user cancelled
// (or chose a name longer than the room).
template <typename Dialog>
std::optional<std::string> askFileName(const CommandParts& parts, const std::string& initial,
                                       DWORD flags, Dialog dialog) {
  wchar_t field[kMaxFileName + 1] = L"";
  toWide(utf16Head(initial, kMaxFileName)).copy(field, kMaxFileName);
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = parts.mainWindow;
  request.lpstrFilter = kFileFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = field;
  request.nMaxFile = std::size(field);
  request.lpstrDefExt = L"KV";
  request.Flags = flags;
  if (!dialog(&request)) return std::nullopt;
  return toUtf8(field);
}

void writeSchedule(const CommandParts& parts) {
  bool saved;
  {
    WaitCursor wait(parts.mainWindow);
    saved = saveToCurrentFile(parts.document, parts.files(), parts.boxes);
  }
  if (saved) parts.window.updateTitle();
}

// The title, the list and the status bar follow a load that took place.
void showIfLoaded(const CommandParts& parts, bool loaded) {
  if (loaded) {
    parts.window.updateTitle();
    parts.window.recallLastStart();
  }
  parts.window.showLoadedSchedule();
}

// Open and Save As give the schedule another name; starting at logon
// follows it.
void followNewName(const CommandParts& parts) {
  followScheduleName(parts.runKey, parts.programPath, fullPathOf(parts.document.fileName));
}

}  // namespace

void openScheduleFile(const CommandParts& parts, const std::string& fileName) {
  const bool loaded = openNamedSchedule(parts.document, fileName, parts.files(), parts.boxes);
  showIfLoaded(parts, loaded);
  // A schedule that does not exist yet keeps its name: the title says
  // where Save will write it.
  parts.window.updateTitle();
}

void newSchedule(const CommandParts& parts) {
  ScheduleDocument& document = parts.document;
  if (settleUnsavedChanges(document.store, parts.boxes, kSaveQuestionOnNew,
                           [&parts] { saveSchedule(parts); }) != Settled::Proceed) {
    return;
  }
  document.store.clearChanged();
  document.store.clear();
  document.fileName.clear();
  parts.window.updateTitle();
}

void openSchedule(const CommandParts& parts) {
  ScheduleDocument& document = parts.document;
  // A Yes whose save did not take place asks again: the changes exist
  // nowhere else.
  Settled settled;
  while ((settled = settleUnsavedChanges(document.store, parts.boxes, kSaveQuestionOnOpen,
                                         [&parts] { saveSchedule(parts); })) == Settled::NotSaved) {
  }
  if (settled == Settled::Cancelled) return;
  const auto chosen =
      askFileName(parts, document.openDialogField, kOpenDialogFlags, GetOpenFileNameW);
  if (!chosen) return;
  const bool loaded = openChosenSchedule(document, *chosen, parts.files(), parts.boxes);
  showIfLoaded(parts, loaded);
  if (loaded) followNewName(parts);
}

void saveSchedule(const CommandParts& parts) {
  if (parts.document.fileName.empty()) {
    saveScheduleAs(parts);
    return;
  }
  writeSchedule(parts);
}

void saveScheduleAs(const CommandParts& parts) {
  ScheduleDocument& document = parts.document;
  const auto chosen = askFileName(parts, document.fileName, kSaveDialogFlags, GetSaveFileNameW);
  if (!chosen) return;
  document.fileName = *chosen;
  parts.window.updateTitle();
  followNewName(parts);
  writeSchedule(parts);
}

}  // namespace kv
