#include "app/commands_win32.h"

#include <new>
#include <string>

#include "app/dialogs_win32.h"
#include "app/file_commands_win32.h"
#include "app/kivro_win32.h"
#include "editor/entry_dialog_win32.h"
#include "engine/launcher.h"
#include "resources/resource_ids.h"

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
  int answer = MessageBoxA(kivro.mainWindow(), "Are you sure you want to delete this entry?",
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

EntryEditorContext entryEditorContext(Kivro& kivro) {
  EntryEditorContext context;
  context.instance = kivro.instance();
  context.owner = kivro.mainWindow();
  context.store = &kivro.store();
  context.programDir = &kivro.programDirectory();
  context.associationWarning = kivro.settings().associationWarning;
  context.languageCode = kivro.languageCode();
  context.showHelp = [&kivro](HWND dialog) { kivro.help().show(dialog, HelpTopic::EntryDialog); };
  return context;
}

void reportIfNotCreated(Kivro& kivro, INT_PTR result) {
  if (result == -1) reportDialogNotCreated(kivro.mainWindow(), IDD_ENTRY);
}

void addEntry(Kivro& kivro) {
  reportIfNotCreated(kivro, runAddDialog(entryEditorContext(kivro)));
}

void editSelectedEntry(Kivro& kivro) {
  if (!kivro.store().selectedRow()) return;
  reportIfNotCreated(kivro, runEditDialog(entryEditorContext(kivro)));
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
  switch (MessageBoxA(owner, kSaveChangesQuestion, caption, MB_YESNOCANCEL | modality)) {
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

bool runCommand(Kivro& kivro, int id) {
  // Filing an entry can run out of memory; the store is then as it was.
  try {
    return dispatchCommand(kivro, id);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(kivro.mainWindow());
    return true;
  }
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
  MessageBoxA(owner, "There is not enough memory to file the entry.", "KV",
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

void addDroppedFiles(Kivro& kivro, HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string path(length + 1, '\0');
    DragQueryFileA(drop, i, path.data(), length + 1);
    path.resize(length);
    if (path.size() > kMaxText) {
      std::string text = "The file " + path + " cannot be scheduled: its name is longer than " +
                         std::to_string(kMaxText) + " characters.";
      MessageBoxA(kivro.mainWindow(), text.c_str(), "KV", MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    reportIfNotCreated(kivro, runAddDialog(entryEditorContext(kivro), path));
  }
  DragFinish(drop);
}

}  // namespace kv
