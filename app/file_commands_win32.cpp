#include "app/file_commands_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <new>

#include "app/commands_win32.h"
#include "app/kivro_win32.h"
#include "engine/calendar.h"
#include "engine/recurrence.h"
#include "resources/resource_ids.h"
#include "schedule/file_io_win32.h"
#include "schedule/schedule_file.h"
#include "schedule/message_boxes_win32.h"

namespace kv {
namespace {

constexpr char kFileFilter[] = "KV Files (*.KV)\0*.KV\0All Files (*.*)\0*.*\0";
constexpr DWORD kSaveDialogFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOTESTFILECREATE;
constexpr DWORD kOpenDialogFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

std::string withName(const char* format, const std::string& name) {
  std::string text(name.size() + 64, '\0');
  int n = std::snprintf(text.data(), text.size(), format, name.c_str());
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

void warnNotLoaded(const std::string& fileName, const char* format) {
  showMessageBox(nullptr, withName(format, fileName).c_str(), "Warning", MB_OK | MB_TASKMODAL);
}

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

bool writeSchedule(Kivro& kivro) {
  const std::string& name = kivro.document().fileName;
  bool written;
  {
    WaitCursor wait(kivro.mainWindow());
    written = replaceFileContents(name, encodeScheduleFile(kivro.store(), kivro.versionText()));
  }
  if (!written) {
    showMessageBox(kivro.mainWindow(), withName("Cannot write to %s.", name).c_str(), nullptr,
                   MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  kivro.store().clearChanged();
  kivro.updateTitle();
  return true;
}

}  // namespace

bool loadScheduleFile(Kivro& kivro, const std::string& fileName) {
  Time loadTime = currentTime();
  if (fileName.size() > kMaxFileName) {
    warnNotLoaded(fileName, "|%s| not found.");
    return false;
  }
  FileContents file = readWholeFile(fileName);
  if (file.status == ReadStatus::NotFound) {
    warnNotLoaded(fileName, "|%s| not found.");
    return false;
  }
  if (file.status == ReadStatus::Unreadable) {
    warnNotLoaded(fileName, "|%s| could not be read.");
    return false;
  }
  // The store changes only once the whole file has been taken in.
  try {
    kivro.store().replaceLines(catchUpLoadedEntries(
        decodeScheduleFile(file.bytes, kivro.versionText()), loadTime, currentTime()));
  } catch (const std::bad_alloc&) {
    warnNotLoaded(fileName, "|%s| could not be read.");
    return false;
  }
  kivro.store().clearChanged();
  kivro.updateTitle();
  return true;
}

void openScheduleFile(Kivro& kivro, const std::string& fileName) {
  if (fileName.size() <= kMaxFileName) kivro.document().fileName = fileName;
  loadScheduleFile(kivro, fileName);
  kivro.showLoadedSchedule();
}

void newSchedule(Kivro& kivro) {
  if (settleUnsavedChanges(kivro, kivro.mainWindow(), "KV") != Settled::Proceed) return;
  ScheduleDocument& document = kivro.document();
  document.store.clearChanged();
  document.store.clear();
  document.fileName.clear();
  kivro.updateTitle();
  document.store.reloadFirstDue();
}

void openSchedule(Kivro& kivro) {
  // A Yes whose save did not take place asks again: the changes exist
  // nowhere else.
  Settled settled;
  while ((settled = settleUnsavedChanges(kivro, kivro.mainWindow(), "NOTICE")) ==
         Settled::NotSaved) {
  }
  if (settled == Settled::Cancelled) return;
  ScheduleDocument& document = kivro.document();
  auto chosen = askFileName(kivro, document.openDialogField, kOpenDialogFlags, GetOpenFileNameA);
  if (!chosen) return;
  document.openDialogField = *chosen;
  std::string previous = document.fileName;
  document.fileName = *chosen;
  // The name goes back when the file cannot be read, so that a later Save
  // does not write the old schedule under the new name.
  if (!loadScheduleFile(kivro, *chosen)) document.fileName = previous;
  kivro.showLoadedSchedule();
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
  auto chosen = askFileName(kivro, document.fileName, kSaveDialogFlags, GetSaveFileNameA);
  if (!chosen) return;
  document.fileName = *chosen;
  kivro.updateTitle();
  writeSchedule(kivro);
}

}  // namespace kv
