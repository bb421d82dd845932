// The application: its windows, its schedule and the platform adapters the
// core works through. One object, owned by WinMain and attached to the main
// window, in place of process-wide variables.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/list_box_win32.h"
#include "app/shell_win32.h"
#include "schedule/schedule_store.h"

namespace kv {

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
  ScheduleStore& store() { return *store_; }
  Shell& shell() { return *shell_; }
  FailureReporter& reporter() { return *reporter_; }

  const std::string& languageCode() const { return languageCode_; }
  const std::string& versionText() const { return versionText_; }
  const std::string& currentFileName() const { return currentFileName_; }
  void setCurrentFileName(std::string name) { currentFileName_ = std::move(name); }
  // The Open dialog's field, which keeps the path last chosen in it.
  const std::string& openDialogField() const { return openDialogField_; }
  void setOpenDialogField(std::string path) { openDialogField_ = std::move(path); }
  bool associationWarning() const { return associationWarning_; }
  bool hideIcon() const { return hideIcon_; }
  bool helpUsed() const { return helpUsed_; }
  void markHelpUsed() { helpUsed_ = true; }

  // Creates the main window and hList; false when either cannot be made.
  bool createWindows();
  // Reads AssociationWarning and HideIcon and sets their check marks.
  void readFlags();
  // The title "Kivro - [file]".
  void updateTitle();
  // Starts the check timer with the period read from KV.INI; on failure
  // tells the user and posts the quit.
  bool armCheckTimer();
  void disarmCheckTimer();
  // Runs the due check at the current time.
  void checkDueEntries();
  // Shows the store again in hList and reloads the first-due entry.
  void showLoadedSchedule();

 private:
  void readLanguageCode();
  void loadVersionText();

  HINSTANCE instance_;
  HWND mainWindow_ = nullptr;
  HWND list_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::string languageCode_;
  std::string versionText_;
  std::string currentFileName_;
  std::string openDialogField_;
  bool associationWarning_ = true;
  bool hideIcon_ = false;
  bool helpUsed_ = false;
  std::unique_ptr<ListBoxList> visibleList_;
  std::unique_ptr<ScheduleStore> store_;
  std::unique_ptr<WindowsShell> shell_;
  std::unique_ptr<MessageBoxReporter> reporter_;
};

// Registers the window class "KV"; false when it cannot be registered.
bool registerMainWindowClass(HINSTANCE instance);

// The application attached to a main window (null before WM_NCCREATE).
Kivro* kivroOf(HWND mainWindow);

}  // namespace kv
