// The main window's commands, one function each, and the prompts that guard
// unsaved changes.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/unsaved_changes.h"

namespace kv {

class Kivro;

// Carries out a menu or accelerator command; false for an id that is not one.
bool runCommand(Kivro& kivro, int id);

// Files dropped on the main window: one Add dialog each.
void runDrop(Kivro& kivro, HDROP drop);

// Greys the items that cannot be used now.
void updateMenu(Kivro& kivro, HMENU menu);

// Memory ran out while filing an entry; the schedule is as it was.
void reportOutOfMemory(HWND owner);

// Hiding the minimized window when HideIcon is on: each start restarts the
// one hide timer.
void startHideTimer(HWND mainWindow);
void hideIfMinimized(HWND mainWindow);

// "Changes have been made.  Save changes?" while the schedule has unsaved
// changes. Yes saves at once.
Settled settleUnsavedChanges(Kivro& kivro, HWND owner, const char* caption);

// True when the window may close: nothing unsaved, No, or a Yes whose save
// took place.
bool confirmClose(Kivro& kivro);
// The same for the end of the Windows session.
bool confirmEndSession(Kivro& kivro);

}  // namespace kv
