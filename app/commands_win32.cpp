#include "app/commands_win32.h"

#include <algorithm>
#include <new>
#include <string>

#include "app/about_box_win32.h"
#include "app/entry_commands_win32.h"
#include "app/file_commands_win32.h"
#include "app/history_window_win32.h"
#include "app/kivro_win32.h"
#include "app/logon_start.h"
#include "app/schedule_commands.h"
#include "app/settings_dialog_win32.h"
#include "app/unsaved_changes.h"
#include "engine/launcher.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

// --- The commands --------------------------------------------------------------

void exitProgram(Kivro& kivro) {
  PostMessageW(kivro.mainWindow(), WM_CLOSE, 0, 0);
}

// Delete: no due check runs while the question is open (the check timer
// stops, and the hide timer's tick skips its check), so that no entry is
// launched, re-filed or dropped under it and Yes deletes the entry that was
// selected when the question was asked. The check timer runs again
// whatever the answer.
void deleteSelectedEntry(Kivro& kivro) {
  if (!kivro.document().store.selectedRow()) return;
  kivro.pauseDueChecks();
  deleteSelectedAfterAsking(kivro.document().store, kivro.boxes());
  kivro.resumeDueChecks();
}

void cutSelectedEntry(Kivro& kivro) {
  if (kivro.document().store.cutSelected()) {
    PostMessageW(kivro.mainWindow(), WM_COMMAND, IDM_DELETE, 0);
  }
}

void copySelectedEntry(Kivro& kivro) {
  kivro.document().store.copySelected();
}

void pasteEntry(Kivro& kivro) {
  kivro.document().store.paste();
}

// Test Entry starts the selected entry at once and leaves the schedule as
// it is, whatever the outcome.
void testSelectedEntry(Kivro& kivro) {
  const ScheduleStore& store = kivro.document().store;
  const auto row = store.selectedRow();
  if (!row) return;
  launchAndReport(kivro.shell(), kivro.reporter(),
                  parseEntryLine(store.line(static_cast<std::size_t>(*row))), &kivro.history());
  kivro.refreshStatus();
}

void changeCheckInterval(Kivro& kivro) {
  SettingsFile& file = kivro.settingsFile();
  const auto time = askCheckInterval(kivro.instance(), kivro.mainWindow(), file.readTime());
  if (!time) return;
  file.writeTime(*time);
  // Arming reads Time back from the file.
  kivro.armCheckTimer();
}

template <const FlagSetting& flag>
void toggle(Kivro& kivro) {
  bool& on = kivro.settings().*flag.value;
  on = !on;
  showCheckMarks(kivro);
  kivro.settingsFile().writeFlag(flag.key, on);
}

void toggleStartAtLogon(Kivro& kivro) {
  kv::toggleStartAtLogon(kivro.runKey(), kivro.programPath(),
                         fullPathOf(kivro.document().fileName));
  showCheckMarks(kivro);
}

void showHistory(Kivro& kivro) {
  LaunchHistory& history = kivro.history();
  const auto since = history.unwritableSince();
  SettingsFile& settings = kivro.settingsFile();
  const HistoryWindowValues values{
      [&kivro] { return kivro.historyFile().readAll(); },
      since ? unwritableText(formatStartTime(*since)) : "",
      settings.readColumnWidths(kHistoryColumnsKey, kHistoryColumnCount)};
  if (const auto widths = showHistoryWindow(kivro.instance(), kivro.mainWindow(), values)) {
    history.historySeen();
    if (*widths != values.columnWidths) settings.writeColumnWidths(kHistoryColumnsKey, *widths);
  }
  kivro.refreshStatus();
}

template <ListView view>
void listIn(Kivro& kivro) {
  kivro.showView(view);
  showCheckMarks(kivro);
}

void openKivro(Kivro& kivro) {
  kivro.bringBack();
}

void showAbout(Kivro& kivro) {
  showAboutBox(kivro.instance(), kivro.mainWindow(), kivro.texts().productName,
               kivro.texts().versionText);
}

template <HelpTopic topic>
void showHelp(Kivro& kivro) {
  kivro.help().show(kivro.mainWindow(), topic);
}

// --- The table -----------------------------------------------------------------

constexpr MenuCommand kCommands[] = {
    {IDM_NEW, newSchedule},
    {IDM_OPEN, openSchedule},
    {IDM_SAVE, saveSchedule, hasFileName},
    {IDM_SAVE_AS, saveScheduleAs},
    {IDM_ABOUT, showAbout},
    {IDM_EXIT, exitProgram},
    {IDM_ADD, addEntry},
    {IDM_EDIT, editSelectedEntry, hasSelection},
    {IDM_DELETE, deleteSelectedEntry, hasSelection},
    {IDM_TEST_ENTRY, testSelectedEntry, hasSelection},
    {IDM_HISTORY, showHistory},
    {IDM_SETTINGS, changeCheckInterval},
    {IDM_ASSOCIATION_WARNING, toggle<kAssociationWarning>, nullptr, kAssociationWarning.text,
     isOn<kAssociationWarning>},
    {IDM_HIDE_ICON, toggle<kHideIcon>, nullptr, kHideIcon.text, isOn<kHideIcon>},
    {IDM_RUN_MISSED_STARTS, toggle<kRunMissedStarts>, nullptr, kRunMissedStarts.text,
     isOn<kRunMissedStarts>},
    {IDM_SKIP_WHILE_RUNNING, toggle<kSkipWhileRunning>, nullptr, kSkipWhileRunning.text,
     isOn<kSkipWhileRunning>},
    {IDM_NOTIFY_ON_FAILURE, toggle<kNotifyOnFailure>, nullptr, kNotifyOnFailure.text,
     isOn<kNotifyOnFailure>},
    {IDM_WAKE_TO_RUN, toggle<kWakeToRun>, nullptr, kWakeToRun.text, isOn<kWakeToRun>},
    {IDM_START_AT_LOGON, toggleStartAtLogon, mayToggleStartAtLogon, "Start at &Logon",
     startsAtLogon},
    {IDM_VIEW_ROWS, listIn<ListView::Rows>, nullptr, nullptr, nullptr, isView<ListView::Rows>},
    {IDM_VIEW_DETAILS, listIn<ListView::Details>, nullptr, nullptr, nullptr,
     isView<ListView::Details>},
    {IDM_OPEN_KIVRO, openKivro},
    {IDM_CUT, cutSelectedEntry, hasSelection},
    {IDM_COPY, copySelectedEntry, hasSelection},
    {IDM_PASTE, pasteEntry, hasClip},
    {IDM_HELP_CONTENTS, showHelp<HelpTopic::Contents>},
    {IDM_HELP_SEARCH, showHelp<HelpTopic::Search>},
    {IDM_HELP_ON_HELP, showHelp<HelpTopic::HowToUseHelp>},
};

const MenuCommand* findCommand(int id) {
  const auto found =
      std::find_if(std::begin(kCommands), std::end(kCommands),
                   [id](const MenuCommand& c) { return static_cast<int>(c.id) == id; });
  return found == std::end(kCommands) ? nullptr : found;
}

void reportOutOfMemory(Kivro& kivro) {
  kivro.boxes().show({"There is not enough memory to file the entry.", "KV", BoxButtons::Ok,
                      BoxIcon::Exclamation});
}

// Every command can run out of memory on the way; it then leaves the store
// as it was, and no exception may leave the window procedure.
template <typename Command>
void guarded(Kivro& kivro, Command command) {
  try {
    command();
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(kivro);
  }
}

// A radio item's bullet: on the one chosen, off the others.
void markChosen(HMENU menu, const MenuCommand& command, const CommandState& state) {
  if (command.chosen(state)) {
    CheckMenuRadioItem(menu, command.id, command.id, command.id, MF_BYCOMMAND);
  } else {
    CheckMenuItem(menu, command.id, MF_BYCOMMAND | MF_UNCHECKED);
  }
}

}  // namespace

std::span<const MenuCommand> menuCommands() {
  return kCommands;
}

bool runCommand(Kivro& kivro, int id) {
  const MenuCommand* command = findCommand(id);
  if (!command) return false;
  guarded(kivro, [&] { command->run(kivro); });
  return true;
}

void runDrop(Kivro& kivro, HDROP drop) {
  guarded(kivro, [&] { addDroppedFiles(kivro, drop); });
}

void runDueCheck(Kivro& kivro) {
  guarded(kivro, [&] { kivro.checkDueEntries(); });
}

void updateMenu(Kivro& kivro, HMENU menu) {
  const CommandState state = kivro.commandState();
  for (const MenuCommand& command : kCommands) {
    if (command.enabled) {
      const UINT enabled = command.enabled(state) ? MF_ENABLED : MF_GRAYED;
      EnableMenuItem(menu, command.id, MF_BYCOMMAND | enabled);
    }
    // A check mark can change outside the program (the Run key).
    if (command.checked) {
      const UINT check = command.checked(state) ? MF_CHECKED : MF_UNCHECKED;
      CheckMenuItem(menu, command.id, MF_BYCOMMAND | check);
    }
    if (command.chosen) markChosen(menu, command, state);
  }
}

void showCheckMarks(Kivro& kivro) {
  const CommandState state = kivro.commandState();
  HMENU menu = GetMenu(kivro.mainWindow());
  for (const MenuCommand& command : kCommands) {
    if (command.chosen) markChosen(menu, command, state);
    if (!command.checked) continue;
    const UINT check = command.checked(state) ? MF_CHECKED : MF_UNCHECKED;
    ModifyMenuW(menu, command.id, MF_BYCOMMAND | MF_STRING | check, command.id,
                toWide(command.checkText).c_str());
  }
}

void showNotificationMenu(Kivro& kivro) {
  HMENU menu = LoadMenuW(kivro.instance(), L"" IDR_NOTIFICATION_MENU);
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  SetMenuDefaultItem(popup, IDM_OPEN_KIVRO, FALSE);
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if the window is
  // in front while it is open.
  SetForegroundWindow(kivro.mainWindow());
  const int chosen =
      static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                      at.y, 0, kivro.mainWindow(), nullptr));
  PostMessageW(kivro.mainWindow(), WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen != 0) runCommand(kivro, chosen);
}

void startHideTimer(HWND mainWindow) {
  SetTimer(mainWindow, ID_HIDE_TIMER, kHideDelay, nullptr);
}

void hideIfMinimized(Kivro& kivro) {
  if (IsIconic(kivro.mainWindow())) kivro.hideToNotificationArea();
  KillTimer(kivro.mainWindow(), ID_HIDE_TIMER);
}

bool mayCloseWithChanges(Kivro& kivro) {
  // A Yes whose save did not take place keeps the window, and refuses the
  // end of the session: going on would lose the changes.
  return settleUnsavedChanges(kivro.document().store, kivro.boxes(), kSaveQuestionOnClosing,
                              [&kivro] { saveSchedule(kivro); }) == Settled::Proceed;
}

}  // namespace kv
