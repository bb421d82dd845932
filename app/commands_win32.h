// The main window's commands as one table: what each runs, when its menu
// item is enabled, and, for a check-mark item, its text and whether it is
// checked. Dispatch, the grey states and the check marks all read it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <span>

#include "app/command_parts_win32.h"
#include "app/command_state.h"

namespace kv {

struct MenuCommand {
  UINT id;
  void (*run)(const CommandParts& parts);
  StateRule enabled = nullptr;      // null: always enabled
  const char* checkText = nullptr;  // a check-mark item: its text
  StateRule checked = nullptr;      // and whether it is checked
  StateRule chosen = nullptr;       // a radio item: whether it is the one chosen
};

std::span<const MenuCommand> menuCommands();

// Carries out a menu or accelerator command; false for an id that is not one.
bool runCommand(const CommandParts& parts, int id);

// Files dropped on the main window: one Add dialog each.
void runDrop(const CommandParts& parts, HDROP drop);

// Runs work that can run out of memory on the way (a command, the due
// check's re-filing): it then leaves the store as it was and tells the
// user, for no exception may leave the window procedure.
void runGuarded(MessageBoxes& boxes, const std::function<void()>& work);

// Greys the items that cannot be used now, and sets the check marks.
void updateMenu(HMENU menu, const CommandState& state);

// The menu of the notification-area icon, at the mouse: Open Kivro, Exit.
void showNotificationMenu(const CommandParts& parts);

// Sets every check-mark item again, with its text, checked while it is on,
// and the bullet of every radio item chosen.
void showCheckMarks(HMENU menu, const CommandState& state);

// True when the window may close, or the Windows session end: nothing
// unsaved, No, or a Yes whose save took place.
bool mayCloseWithChanges(const CommandParts& parts);

}  // namespace kv
