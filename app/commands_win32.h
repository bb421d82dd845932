// The main window's commands as one table: what each runs, when its menu
// item is enabled, and, for a check-mark item, its text and whether it is
// checked. Dispatch, the grey states and the check marks all read it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <span>

#include "app/command_state.h"

namespace kv {

class Kivro;

struct MenuCommand {
  UINT id;
  void (*run)(Kivro& kivro);
  StateRule enabled = nullptr;      // null: always enabled
  const char* checkText = nullptr;  // a check-mark item: its text
  StateRule checked = nullptr;      // and whether it is checked
  StateRule chosen = nullptr;       // a radio item: whether it is the one chosen
};

std::span<const MenuCommand> menuCommands();

// Carries out a menu or accelerator command; false for an id that is not one.
bool runCommand(Kivro& kivro, int id);

// Files dropped on the main window: one Add dialog each.
void runDrop(Kivro& kivro, HDROP drop);

// Every timer's tick: the due check, whose re-filing may run out of memory.
void runDueCheck(Kivro& kivro);

// Greys the items that cannot be used now, and sets the check marks.
void updateMenu(Kivro& kivro, HMENU menu);

// The menu of the notification-area icon, at the mouse: Open Kivro, Exit.
void showNotificationMenu(Kivro& kivro);

// Sets every check-mark item again, with its text, checked while it is on,
// and the bullet of every radio item chosen.
void showCheckMarks(Kivro& kivro);

// Hiding the minimized window when HideIcon is on: each start restarts the
// one hide timer.
void startHideTimer(HWND mainWindow);
void hideIfMinimized(Kivro& kivro);

// True when the window may close, or the Windows session end: nothing
// unsaved, No, or a Yes whose save took place.
bool mayCloseWithChanges(Kivro& kivro);

}  // namespace kv
