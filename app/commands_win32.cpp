#include "app/commands_win32.h"

#include <new>
#include <string>

#include "app/dialogs_win32.h"
#include "app/entry_commands_win32.h"
#include "app/file_commands_win32.h"
#include "app/kivro_win32.h"
#include "engine/launcher.h"
#include "resources/resource_ids.h"
#include "schedule/message_boxes_win32.h"

namespace kv {
namespace {

void exitProgram(Kivro& kivro) {
  PostMessageA(kivro.mainWindow(), WM_CLOSE, 0, 0);
}

// Delete: no due check runs while the question is open (the check timer
// stops, and the hide timer's tick skips its check), so that no entry is
// launched, re-filed or dropped under it and Yes deletes the entry that was
// selected when the question was asked. The check timer runs again
// whatever the answer.
void deleteSelectedEntry(Kivro& kivro) {
  ScheduleStore& store = kivro.store();
  auto row = store.selectedRow();
  if (!row) return;
  kivro.pauseDueChecks();
  int answer = showMessageBox(kivro.mainWindow(), "Are you sure you want to delete this entry?",
                              "Confirmation", MB_YESNO | MB_TASKMODAL);
  if (answer == IDYES) {
    store.removeRow(*row);
    if (*row == 0) store.reloadFirstDue();
  }
  kivro.resumeDueChecks();
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

void changeCheckInterval(Kivro& kivro) {
  auto time =
      askCheckInterval(kivro.instance(), kivro.mainWindow(), kivro.settingsFile().readTime());
  if (!time) return;
  kivro.settingsFile().writeTime(*time);
  // Arming reads Time back from the file.
  kivro.armCheckTimer();
}

void toggleFlag(Kivro& kivro, const FlagItem& item) {
  bool& flag = kivro.settings().*item.flag;
  flag = !flag;
  kivro.showFlag(item);
  kivro.settingsFile().writeFlag(item.key, flag);
}

void showAbout(Kivro& kivro) {
  showAboutBox(kivro.instance(), kivro.mainWindow(), kivro.productName(), kivro.versionText());
}

void showHelp(Kivro& kivro, HelpTopic topic) {
  kivro.help().show(kivro.mainWindow(), topic);
}

void enableItem(HMENU menu, UINT id, bool enabled) {
  UINT state = static_cast<UINT>(enabled ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(menu, id, MF_BYCOMMAND | state);
}

SaveAnswer askToSave(HWND owner, const char* caption) {
  UINT modality = owner ? MB_APPLMODAL : MB_TASKMODAL;
  switch (showMessageBox(owner, kSaveChangesQuestion, caption, MB_YESNOCANCEL | modality)) {
    case IDYES:
      return SaveAnswer::Yes;
    case IDNO:
      return SaveAnswer::No;
    default:
      return SaveAnswer::Cancel;
  }
}

bool dispatchCommand(Kivro& kivro, int id) {
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
    case IDM_ABOUT:
      showAbout(kivro);
      return true;
    case IDM_EXIT:
      exitProgram(kivro);
      return true;
    case IDM_ADD:
      addEntry(kivro);
      return true;
    case IDM_EDIT:
      editSelectedEntry(kivro);
      return true;
    case IDM_DELETE:
      deleteSelectedEntry(kivro);
      return true;
    case IDM_SETTINGS:
      changeCheckInterval(kivro);
      return true;
    case IDM_ASSOCIATION_WARNING:
      toggleFlag(kivro, kFlagItems[0]);
      return true;
    case IDM_HIDE_ICON:
      toggleFlag(kivro, kFlagItems[1]);
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
      showHelp(kivro, HelpTopic::Contents);
      return true;
    case IDM_HELP_SEARCH:
      showHelp(kivro, HelpTopic::Search);
      return true;
    case IDM_HELP_ON_HELP:
      showHelp(kivro, HelpTopic::HowToUseHelp);
      return true;
    default:
      return false;
  }
}

}  // namespace

// Every command can run out of memory on the way; it then leaves the store
// as it was, and no exception may leave the window procedure.
template <typename Command>
bool guarded(Kivro& kivro, Command command) {
  try {
    return command();
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(kivro.mainWindow());
    return true;
  }
}

bool runCommand(Kivro& kivro, int id) {
  return guarded(kivro, [&] { return dispatchCommand(kivro, id); });
}

void runDrop(Kivro& kivro, HDROP drop) {
  guarded(kivro, [&] {
    addDroppedFiles(kivro, drop);
    return true;
  });
}

void updateMenu(Kivro& kivro, HMENU menu) {
  bool selected = kivro.store().selectedRow().has_value();
  enableItem(menu, IDM_SAVE, !kivro.document().fileName.empty());
  for (UINT id :
       {0u + IDM_EDIT, 0u + IDM_DELETE, 0u + IDM_CUT, 0u + IDM_COPY, 0u + IDM_TEST_ENTRY}) {
    enableItem(menu, id, selected);
  }
  enableItem(menu, IDM_PASTE, kivro.store().clipFull());
}

void reportOutOfMemory(HWND owner) {
  showMessageBox(owner, "There is not enough memory to file the entry.", "KV",
                 MB_OK | MB_ICONEXCLAMATION);
}

void startHideTimer(HWND mainWindow) {
  SetTimer(mainWindow, ID_HIDE_TIMER, kHideDelay, nullptr);
}

void hideIfMinimized(HWND mainWindow) {
  if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_HIDE);
  KillTimer(mainWindow, ID_HIDE_TIMER);
}

Settled settleUnsavedChanges(Kivro& kivro, HWND owner, const char* caption) {
  ScheduleStore& store = kivro.store();
  UnsavedChanges changes{
      [&store] { return store.changed(); },
      [owner, caption] { return askToSave(owner, caption); },
      [&kivro] { saveSchedule(kivro); },
      [&store] { store.clearChanged(); },
  };
  return kv::settleUnsavedChanges(changes);
}

bool confirmClose(Kivro& kivro) {
  return settleUnsavedChanges(kivro, nullptr, "KV") == Settled::Proceed;
}

bool confirmEndSession(Kivro& kivro) {
  // A Yes whose save did not take place refuses the end of the session:
  // ending it would lose the changes.
  return settleUnsavedChanges(kivro, nullptr, "KV") == Settled::Proceed;
}

}  // namespace kv
