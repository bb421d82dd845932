#include "app/file_commands_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <optional>

#include "app/kivro_win32.h"
#include "app/logon_start.h"
#include "app/unsaved_changes.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

constexpr char kFileFilter[] = "KV Files (*.KV)\0*.KV\0All Files (*.*)\0*.*\0";
constexpr DWORD kSaveDialogFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
constexpr DWORD kOpenDialogFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

// Runs a common file dialog on a buffer of the file name's room; returns the
// chosen path, or nothing when the user cancelled.
template <typename Dialog>
std::optional<std::string> askFileName(Kivro& kivro, const std::string& initial, DWORD flags,
                                       Dialog dialog) {
  char field[kMaxFileName + 1] = "";
  initial.copy(field, kMaxFileName);
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = kivro.mainWindow();
  request.lpstrFilter = kFileFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = field;
  request.nMaxFile = sizeof field;
  request.lpstrDefExt = "KV";
  request.Flags = flags;
  if (!dialog(&request)) return std::nullopt;
  return std::string(field);
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
      askFileName(kivro, document.openDialogField, kOpenDialogFlags, GetOpenFileNameA);
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
  const auto chosen = askFileName(kivro, document.fileName, kSaveDialogFlags, GetSaveFileNameA);
  if (!chosen) return;
  document.fileName = *chosen;
  kivro.updateTitle();
  followNewName(kivro);
  writeSchedule(kivro);
}

}  // namespace kv
