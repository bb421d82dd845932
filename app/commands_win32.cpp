#include "app/commands_win32.h"

#include <algorithm>
#include <new>
#include <string>

#include "app/about_box_win32.h"
#include "app/entry_commands_win32.h"
#include "app/file_commands_win32.h"
#include "app/history_window_win32.h"
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

void exitProgram(const CommandParts& parts) {
  PostMessageW(parts.mainWindow, WM_CLOSE, 0, 0);
}

// Delete: no due check runs while the question is open (the check timer
// stops, and the hide timer's tick skips its check), so that no entry is
// launched, re-filed or dropped under it and Yes deletes the entry that was
// selected when the question was asked. The check timer runs again
// whatever the answer.
void deleteSelectedEntry(const CommandParts& parts) {
  if (!parts.document.store.selectedRow()) return;
  parts.window.pauseDueChecks();
  deleteSelectedAfterAsking(parts.document.store, parts.boxes);
  parts.window.resumeDueChecks();
}

void cutSelectedEntry(const CommandParts& parts) {
  if (parts.document.store.cutSelected()) {
    PostMessageW(parts.mainWindow, WM_COMMAND, IDM_DELETE, 0);
  }
}

void copySelectedEntry(const CommandParts& parts) {
  parts.document.store.copySelected();
}

void pasteEntry(const CommandParts& parts) {
  parts.document.store.paste();
}

// Test Entry starts the selected entry at once and leaves the schedule as
// it is, whatever the outcome.
void testSelectedEntry(const CommandParts& parts) {
  const ScheduleStore& store = parts.document.store;
  const auto row = store.selectedRow();
  if (!row) return;
  launchAndReport(parts.shell, parts.reporter,
                  parseEntryLine(store.line(static_cast<std::size_t>(*row))), &parts.history);
  parts.window.refreshStatus();
}

void changeCheckInterval(const CommandParts& parts) {
  SettingsFile& file = parts.settingsFile;
  const auto time = askCheckInterval(parts.instance, parts.mainWindow, file.readTime());
  if (!time) return;
  file.writeTime(*time);
  // Arming reads Time back from the file.
  parts.window.armCheckTimer();
}

template <const FlagSetting& flag>
void toggle(const CommandParts& parts) {
  bool& on = parts.settings.*flag.value;
  on = !on;
  parts.window.showCheckMarks();
  parts.settingsFile.writeFlag(flag.key, on);
}

void toggleStartAtLogon(const CommandParts& parts) {
  kv::toggleStartAtLogon(parts.runKey, parts.programPath, fullPathOf(parts.document.fileName));
  parts.window.showCheckMarks();
}

void showHistory(const CommandParts& parts) {
  LaunchHistory& history = parts.history;
  const auto since = history.unwritableSince();
  SettingsFile& settings = parts.settingsFile;
  HistoryFile& file = parts.historyFile;
  const HistoryWindowValues values{
      [&file] { return file.readAll(); }, since ? unwritableText(formatStartTime(*since)) : "",
      settings.readColumnWidths(kHistoryColumnsKey, kHistoryColumnCount)};
  if (const auto widths = showHistoryWindow(parts.instance, parts.mainWindow, values)) {
    history.historySeen();
    if (*widths != values.columnWidths) settings.writeColumnWidths(kHistoryColumnsKey, *widths);
  }
  parts.window.refreshStatus();
}

template <ListView view>
void listIn(const CommandParts& parts) {
  parts.window.showView(view);
  parts.window.showCheckMarks();
}

void openKivro(const CommandParts& parts) {
  parts.window.bringBack();
}

void showAbout(const CommandParts& parts) {
  showAboutBox(parts.instance, parts.mainWindow, parts.texts.productName, parts.texts.versionText);
}

template <HelpTopic topic>
void showHelp(const CommandParts& parts) {
  parts.help.show(parts.mainWindow, topic);
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

void runGuarded(MessageBoxes& boxes, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::bad_alloc&) {
    boxes.show({"There is not enough memory to file the entry.", "KV", BoxButtons::Ok,
                BoxIcon::Exclamation});
  }
}

bool runCommand(const CommandParts& parts, int id) {
  const MenuCommand* command = findCommand(id);
  if (!command) return false;
  runGuarded(parts.boxes, [&] { command->run(parts); });
  return true;
}

void runDrop(const CommandParts& parts, HDROP drop) {
  runGuarded(parts.boxes, [&] { addDroppedFiles(parts, drop); });
}

void updateMenu(HMENU menu, const CommandState& state) {
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

void showCheckMarks(HMENU menu, const CommandState& state) {
  for (const MenuCommand& command : kCommands) {
    if (command.chosen) markChosen(menu, command, state);
    if (!command.checked) continue;
    const UINT check = command.checked(state) ? MF_CHECKED : MF_UNCHECKED;
    ModifyMenuW(menu, command.id, MF_BYCOMMAND | MF_STRING | check, command.id,
                toWide(command.checkText).c_str());
  }
}

void showNotificationMenu(const CommandParts& parts) {
  HMENU menu = LoadMenuW(parts.instance, L"" IDR_NOTIFICATION_MENU);
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  SetMenuDefaultItem(popup, IDM_OPEN_KIVRO, FALSE);
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if the window is
  // in front while it is open.
  SetForegroundWindow(parts.mainWindow);
  const int chosen =
      static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                      at.y, 0, parts.mainWindow, nullptr));
  PostMessageW(parts.mainWindow, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen != 0) runCommand(parts, chosen);
}

bool mayCloseWithChanges(const CommandParts& parts) {
  // A Yes whose save did not take place keeps the window, and refuses the
  // end of the session: going on would lose the changes.
  return settleUnsavedChanges(parts.document.store, parts.boxes, kSaveQuestionOnClosing,
                              [&parts] { saveSchedule(parts); }) == Settled::Proceed;
}

}  // namespace kv
