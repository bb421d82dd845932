// What a command is handed in place of the whole application: the parts it
// may work on, and the main window's few answers to a change. The
// application builds it once, after its windows; a command takes from it
// what it uses and sees nothing else.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/file_commands.h"
#include "app/help_win32.h"
#include "app/history_file_win32.h"
#include "app/launch_history.h"
#include "engine/launcher.h"
#include "app/logon_start.h"
#include "app/schedule_document.h"
#include "app/settings.h"
#include "app/settings_file_win32.h"
#include "schedule/message_boxes.h"

namespace kv {

// The program's own texts, read once at start-up.
struct ProgramTexts {
  std::string languageCode;  // names the months when the locale cannot
  std::string versionText;   // "3.0", of the file header and the About box
  std::string productName;   // "Kivro", of the title
};

// What the main window does when a command changed what it shows, or needs
// the due checks held.
class MainWindowActions {
 public:
  // The title "Kivro - [file]".
  virtual void updateTitle() = 0;
  // Shows the store again in the list and reloads the first-due entry.
  virtual void showLoadedSchedule() = 0;
  // After a load: the status bar shows the last start that the history
  // holds for the schedule now open.
  virtual void recallLastStart() = 0;
  // The status bar shows the last start and whether it failed.
  virtual void refreshStatus() = 0;
  // Every check-mark and radio item set again from the state now.
  virtual void showCheckMarks() = 0;
  // Lists the entries in this view from now on, in place of the other: the
  // entry selected stays selected, and KV.INI keeps the choice.
  virtual void showView(ListView view) = 0;
  // The window comes back (shown, restored, in front, the keyboard in its
  // list) and the icon goes, once no balloon needs it.
  virtual void bringBack() = 0;
  // Starts the check timer with the period read from KV.INI; on failure
  // tells the user and posts the quit.
  virtual bool armCheckTimer() = 0;
  // Stops the check timer, and keeps any other timer from running the due
  // check, until resumeDueChecks arms the check timer again.
  virtual void pauseDueChecks() = 0;
  virtual void resumeDueChecks() = 0;

 protected:
  ~MainWindowActions() = default;
};

struct CommandParts {
  HINSTANCE instance;
  HWND mainWindow;
  MainWindowActions& window;
  ScheduleDocument& document;
  // The platform's file calls, with the header's version, the clock and
  // what a load does with missed starts, as the settings say now.
  std::function<ScheduleFiles()> files;
  MessageBoxes& boxes;
  Settings& settings;
  SettingsFile& settingsFile;
  Help& help;
  const ProgramTexts& texts;
  RunKey& runKey;
  const std::string& programPath;  // the full path of this kv.exe
  Shell& shell;
  FailureReporter& reporter;
  LaunchHistory& history;
  HistoryFile& historyFile;
};

}  // namespace kv
