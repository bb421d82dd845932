#include "app/file_commands_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <iterator>
#include <optional>

#include "app/kivro_win32.h"
#include "app/logon_start.h"
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
std::optional<std::string> askFileName(Kivro& kivro, const std::string& initial, DWORD flags,
                                       Dialog dialog) {
  wchar_t field[kMaxFileName + 1] = L"";
  toWide(utf16Head(initial, kMaxFileName)).copy(field, kMaxFileName);
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = kivro.mainWindow();
  request.lpstrFilter = kFileFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = field;
  request.nMaxFile = std::size(field);
  request.lpstrDefExt = L"KV";
  request.Flags = flags;
  if (!dialog(&request)) return std::nullopt;
  return toUtf8(field);
}

void writeSchedule(Kivro& kivro) {
  bool saved;
  {
    WaitCursor wait(kivro.mainWindow());
    saved = saveToCurrentFile(kivro.document(), kivro.files(), kivro.boxes());
  }
  if (saved) kivro.updateTitle();
}

// The title, the list and the status bar follow a load that took place.
void showIfLoaded(Kivro& kivro, bool loaded) {
  if (loaded) {
    kivro.updateTitle();
    kivro.recallLastStart();
  }
  kivro.showLoadedSchedule();
}

// Open and Save As give the schedule another name; starting at logon
// follows it.
void followNewName(Kivro& kivro) {
  followScheduleName(kivro.runKey(), kivro.programPath(), fullPathOf(kivro.document().fileName));
}

}  // namespace

void openScheduleFile(Kivro& kivro, const std::string& fileName) {
  const bool loaded = openNamedSchedule(kivro.document(), fileName, kivro.files(), kivro.boxes());
  showIfLoaded(kivro, loaded);
  // A schedule that does not exist yet keeps its name: the title says
  // where Save will write it.
  kivro.updateTitle();
}

void newSchedule(Kivro& kivro) {
  ScheduleDocument& document = kivro.document();
  if (settleUnsavedChanges(document.store, kivro.boxes(), kSaveQuestionOnNew,
                           [&kivro] { saveSchedule(kivro); }) != Settled::Proceed) {
    return;
  }
  document.store.clearChanged();
  document.store.clear();
  document.fileName.clear();
  kivro.updateTitle();
}

void openSchedule(Kivro& kivro) {
  ScheduleDocument& document = kivro.document();
  // A Yes whose save did not take place asks again: the changes exist
  // nowhere else.
  Settled settled;
  while ((settled = settleUnsavedChanges(document.store, kivro.boxes(), kSaveQuestionOnOpen,
                                         [&kivro] { saveSchedule(kivro); })) == Settled::NotSaved) {
  }
  if (settled == Settled::Cancelled) return;
  const auto chosen =
      askFileName(kivro, document.openDialogField, kOpenDialogFlags, GetOpenFileNameW);
  if (!chosen) return;
  const bool loaded = openChosenSchedule(document, *chosen, kivro.files(), kivro.boxes());
  showIfLoaded(kivro, loaded);
  if (loaded) followNewName(kivro);
}

void saveSchedule(Kivro& kivro) {
  if (kivro.document().fileName.empty()) {
    saveScheduleAs(kivro);
    return;
  }
  writeSchedule(kivro);
}

void saveScheduleAs(Kivro& kivro) {
  ScheduleDocument& document = kivro.document();
  const auto chosen = askFileName(kivro, document.fileName, kSaveDialogFlags, GetSaveFileNameW);
  if (!chosen) return;
  document.fileName = *chosen;
  kivro.updateTitle();
  followNewName(kivro);
  writeSchedule(kivro);
}

}  // namespace kv
