#include "app/commands_win32.h"

#include "app/file_commands_win32.h"
#include "app/kivro_win32.h"
#include "engine/launcher.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr UINT kHideDelay = 10000;
constexpr const char* kHelpFile = "KV.HLP";
constexpr const char* kSaveChangesQuestion = "Changes have been made.  Save changes?";

void exitProgram(Kivro& kivro) {
  PostMessageA(kivro.mainWindow(), WM_CLOSE, 0, 0);
}

// Delete: the check timer stops while the question is open, so that no
// entry is launched or re-filed under it, and runs again whatever the answer.
void deleteSelectedEntry(Kivro& kivro) {
  kivro.disarmCheckTimer();
  int answer = MessageBoxA(kivro.mainWindow(), "Are you sure you want to delete this entry?",
                           "Confirmation", MB_YESNO | MB_TASKMODAL);
  if (answer == IDYES) {
    if (auto row = kivro.store().selectedRow()) {
      kivro.store().removeRow(*row);
      if (*row == 0) kivro.store().reloadFirstDue();
    }
  }
  kivro.armCheckTimer();
}

void cutSelectedEntry(Kivro& kivro) {
  if (kivro.store().cutSelected()) PostMessageA(kivro.mainWindow(), WM_COMMAND, IDM_DELETE, 0);
}

void copySelectedEntry(Kivro& kivro) {
  kivro.store().copySelected();
}

void pasteEntry(Kivro& kivro) {
  kivro.store().paste();
}

// Test Entry starts the selected entry at once and leaves the schedule as
// it is, whatever the outcome.
void testSelectedEntry(Kivro& kivro) {
  auto row = kivro.store().selectedRow();
  if (!row) return;
  ScheduleEntry entry = parseEntryLine(kivro.store().line(static_cast<std::size_t>(*row)));
  launchAndReport(kivro.shell(), kivro.reporter(), entry);
}

void showHelp(Kivro& kivro, UINT command, ULONG_PTR data) {
  kivro.markHelpUsed();
  WinHelpA(kivro.mainWindow(), kHelpFile, command, data);
}

void enableItem(HMENU menu, UINT id, bool enabled) {
  UINT state = static_cast<UINT>(enabled ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(menu, id, MF_BYCOMMAND | state);
}

}  // namespace

bool runCommand(Kivro& kivro, int id) {
  static char emptyKey[] = "";
  switch (id) {
    case IDM_NEW:
      newSchedule(kivro);
      return true;
    case IDM_OPEN:
      openSchedule(kivro);
      return true;
    case IDM_SAVE:
      saveSchedule(kivro);
      return true;
    case IDM_SAVE_AS:
      saveScheduleAs(kivro);
      return true;
    case IDM_EXIT:
      exitProgram(kivro);
      return true;
    case IDM_DELETE:
      deleteSelectedEntry(kivro);
      return true;
    case IDM_TEST_ENTRY:
      testSelectedEntry(kivro);
      return true;
    case IDM_CUT:
      cutSelectedEntry(kivro);
      return true;
    case IDM_COPY:
      copySelectedEntry(kivro);
      return true;
    case IDM_PASTE:
      pasteEntry(kivro);
      return true;
    case IDM_HELP_CONTENTS:
      showHelp(kivro, HELP_CONTENTS, 0);
      return true;
    case IDM_HELP_SEARCH:
      showHelp(kivro, HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(emptyKey));
      return true;
    case IDM_HELP_ON_HELP:
      showHelp(kivro, HELP_HELPONHELP, 0);
      return true;
    default:
      return false;
  }
}

void updateMenu(Kivro& kivro, HMENU menu) {
  bool selected = kivro.store().selectedRow().has_value();
  enableItem(menu, IDM_SAVE, !kivro.currentFileName().empty());
  for (UINT id :
       {0u + IDM_EDIT, 0u + IDM_DELETE, 0u + IDM_CUT, 0u + IDM_COPY, 0u + IDM_TEST_ENTRY}) {
    enableItem(menu, id, selected);
  }
  enableItem(menu, IDM_PASTE, kivro.store().clipFull());
}

void startHideTimer(HWND mainWindow) {
  SetTimer(mainWindow, ID_HIDE_TIMER, kHideDelay, nullptr);
}

void hideIfMinimized(HWND mainWindow) {
  if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_HIDE);
  KillTimer(mainWindow, ID_HIDE_TIMER);
}

bool confirmClose(Kivro& kivro) {
  int answer = settleUnsavedChanges(kivro, nullptr, "KV");
  // A save that did not take place (Save As cancelled, a write failure)
  // keeps the window, so the schedule is not lost.
  return answer == IDNO || (answer == IDYES && !kivro.store().changed());
}

bool confirmEndSession(Kivro& kivro) {
  return settleUnsavedChanges(kivro, nullptr, "KV") != IDCANCEL;
}

int settleUnsavedChanges(Kivro& kivro, HWND owner, const char* caption) {
  if (!kivro.store().changed()) return IDNO;
  UINT modality = owner ? MB_APPLMODAL : MB_TASKMODAL;
  int answer = MessageBoxA(owner, kSaveChangesQuestion, caption, MB_YESNOCANCEL | modality);
  if (answer == IDNO) kivro.store().clearChanged();
  if (answer == IDYES) SendMessageA(kivro.mainWindow(), WM_COMMAND, IDM_SAVE, 0);
  return answer;
}

void addDroppedFiles(HWND, HDROP drop) {
  DragFinish(drop);
}

void quitHelp(Kivro& kivro) {
  if (kivro.helpUsed()) WinHelpA(kivro.mainWindow(), kHelpFile, HELP_QUIT, 0);
}

}  // namespace kv
