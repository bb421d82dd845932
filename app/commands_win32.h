// The main window's commands, one function each, and the prompts that guard
// unsaved changes.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace kv {

class Kivro;

// Carries out a menu or accelerator command; false for an id that is not one.
bool runCommand(Kivro& kivro, int id);

// Greys the items that cannot be used now.
void updateMenu(Kivro& kivro, HMENU menu);

// Hiding the minimized window when HideIcon is on.
void startHideTimer(HWND mainWindow);
void hideIfMinimized(HWND mainWindow);

// "Changes have been made.  Save changes?" before closing or ending the
// session. True when the window may go: nothing was changed, the user said
// No, or the save asked for took place.
bool confirmClose(Kivro& kivro);
// The same for the end of the Windows session; Yes lets it end even when the
// save did not take place.
bool confirmEndSession(Kivro& kivro);

// Asks "Changes have been made.  Save changes?" while the schedule has
// unsaved changes: Yes runs Save (2002) now, No forgets the changes. Returns
// the answer, or IDNO when there was nothing to ask.
int settleUnsavedChanges(Kivro& kivro, HWND owner, const char* caption);

void addDroppedFiles(HWND mainWindow, HDROP drop);
void quitHelp(Kivro& kivro);

}  // namespace kv
