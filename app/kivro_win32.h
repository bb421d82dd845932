// The application: its windows, the open schedule, the settings and the
// platform adapters the core works through. One object, owned by WinMain and
// attached to the main window, in place of process-wide variables; the
// commands take the part they work on.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/help_win32.h"
#include "app/list_box_win32.h"
#include "app/schedule_document.h"
#include "app/settings_file_win32.h"
#include "app/shell_win32.h"
#include "resources/resource_ids.h"

namespace kv {

// The two flags of the Configure menu: the item, its text, its key in
// KV.INI and where the setting is held.
struct FlagItem {
  UINT item;
  const char* text;
  const char* key;
  bool Settings::*flag;
};
inline constexpr FlagItem kFlagItems[] = {
    {IDM_ASSOCIATION_WARNING, "&Association Warning", kAssociationWarningKey,
     &Settings::associationWarning},
    {IDM_HIDE_ICON, "&Hide Icon", kHideIconKey, &Settings::hideIcon},
};

class Kivro {
 public:
  explicit Kivro(HINSTANCE instance);
  ~Kivro();
  Kivro(const Kivro&) = delete;
  Kivro& operator=(const Kivro&) = delete;

  // Start-up up to the message loop: the windows, the settings, the check
  // timer and the schedule named by commandLineText. False when the main
  // window or its list cannot be made; the program then ends with status 0.
  bool start(const std::string& commandLineText, int showCommand);
  // The message loop; returns the quit code.
  int run();

  HINSTANCE instance() const { return instance_; }
  HWND mainWindow() const { return mainWindow_; }
  HWND list() const { return list_; }
  HACCEL accelerators() const { return accelerators_; }

  ScheduleDocument& document() { return *document_; }
  ScheduleStore& store() { return document_->store; }
  Shell& shell() { return *shell_; }
  FailureReporter& reporter() { return *reporter_; }
  Settings& settings() { return settings_; }
  SettingsFile& settingsFile() { return settingsFile_; }
  Help& help() { return help_; }
  // The remembered program directory, kept between entry dialogs.
  std::string& programDirectory() { return programDirectory_; }

  const std::string& languageCode() const { return languageCode_; }
  const std::string& versionText() const { return versionText_; }
  const std::string& productName() const { return productName_; }

  // The title "Kivro - [file]".
  void updateTitle();
  // Starts the check timer with the period read from KV.INI; on failure
  // tells the user and posts the quit.
  bool armCheckTimer();
  // Stops the check timer, and keeps any other timer from running the due
  // check, until resumeDueChecks arms the check timer again.
  void pauseDueChecks();
  void resumeDueChecks();
  // Runs the due check at the current time, unless checks are paused.
  void checkDueEntries();
  // Shows the store again in hList and reloads the first-due entry.
  void showLoadedSchedule();
  // Sets a flag's menu item again, checked while the flag is on.
  void showFlag(const FlagItem& flag);

 private:
  bool createWindows();
  void readLanguageCode();
  void loadTexts();
  void readFlags();

  HINSTANCE instance_;
  HWND mainWindow_ = nullptr;
  HWND list_ = nullptr;
  HACCEL accelerators_ = nullptr;
  bool dueChecksPaused_ = false;
  std::string languageCode_;
  std::string versionText_;
  std::string productName_;
  std::string programDirectory_;
  SettingsFile settingsFile_;
  Settings settings_;
  Help help_;
  std::unique_ptr<ListBoxList> visibleList_;
  std::unique_ptr<ScheduleDocument> document_;
  std::unique_ptr<WindowsShell> shell_;
  std::unique_ptr<MessageBoxReporter> reporter_;
};

// Registers the window class "KV"; false when it cannot be registered.
bool registerMainWindowClass(HINSTANCE instance);

// The application attached to a main window (null before WM_NCCREATE).
Kivro* kivroOf(HWND mainWindow);

}  // namespace kv
