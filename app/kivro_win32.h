// The application: its windows and the parts it owns (the open schedule,
// the settings, the help, the shell and the message boxes). One object,
// owned by WinMain and attached to the main window, in place of
// process-wide variables. The commands are handed its parts, not itself;
// what it offers the window procedure is its answers to the window's
// messages.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/command_parts_win32.h"
#include "app/command_state.h"
#include "app/failure_notice.h"
#include "app/details_view_win32.h"
#include "app/file_commands.h"
#include "app/handled_starts_file_win32.h"
#include "app/help_win32.h"
#include "app/history_file_win32.h"
#include "app/launch_history.h"
#include "app/list_box_win32.h"
#include "app/notification_icon_win32.h"
#include "app/run_key_win32.h"
#include "app/schedule_document.h"
#include "app/settings_file_win32.h"
#include "app/shell_win32.h"
#include "app/wake_timer_win32.h"
#include "schedule/message_boxes_win32.h"

namespace kv {

class Kivro final : public MainWindowActions {
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

  // What the commands work on, made with the windows.
  const CommandParts& parts() const { return *parts_; }
  // What the menu's grey states and check marks depend on now.
  CommandState commandState();

  // The list of the view shown: the Rows view's list box or the Details
  // view's list view.
  HWND list() const;
  DetailsView& details() { return *details_; }
  HACCEL accelerators() const { return accelerators_; }
  const NotificationIcon& notificationIcon() const { return *notificationIcon_; }

  // The main window's answers to a change, which the commands ask for.
  void updateTitle() override;
  void showLoadedSchedule() override;
  void recallLastStart() override;
  void refreshStatus() override;
  void showCheckMarks() override;
  void showView(ListView view) override;
  void bringBack() override;
  bool armCheckTimer() override;
  void pauseDueChecks() override;
  void resumeDueChecks() override;

  // Runs the due check at the current time, unless checks are paused.
  void checkDueEntries();
  // A timer's tick, the clock set or a resume: the due check, whose
  // re-filing may run out of memory, and what follows the schedule.
  void checkDueEntriesNow();
  // With HideIcon on, a window minimized hides a moment later: each call
  // restarts the one hide timer.
  void armHideTimer();
  // The hide timer's tick: a window still minimized hides.
  void hideIfMinimized();
  // The window is going: the column widths are kept, the icon and the help
  // go with it.
  void windowDestroyed();

  // The window hides: the notification-area icon stands for it.
  void hideToNotificationArea();
  // The failure balloon timed out or was closed; while the window shows,
  // the icon that came for it goes with it.
  void balloonGone();
  // A click on the balloon: the window back, and History.
  void balloonClicked();
  // Explorer started again: the icon comes back, without its balloon.
  void notificationAreaRestarted();
  // The icon's tip follows the file name and the first-due entry.
  void refreshNotificationTip();
  // After anything that may have changed the schedule: the icon's tip, the
  // wake timer and the keeping awake follow it.
  void followSchedule();
  // The list fills the client area above the status bar.
  void layOut(int width, int height);

 private:
  bool createWindows();
  void createParts();
  // The platform's file calls, with the header's version and the clock.
  ScheduleFiles scheduleFiles() const;
  // KV.INI keeps the widths the user dragged the Details view's columns to.
  void keepColumnWidths();
  void createHistory();
  void readTexts();
  // Moves the rows into the view's list and shows it, the other hidden.
  void switchTo(ListView view);
  // The Details view's columns fit what it shows now, where the user gave
  // them no width.
  void fitColumns();
  // The open schedule as the history names it: its full path in UTF-8.
  std::string historyScheduleName() const;
  std::string notificationTipText();
  void followWithWakeTimer();
  void keepAwakeWhileProgramsRun();
  void onWakeTimer();
  // A start that failed, or a program that ended with an exit code other
  // than 0: the balloon, with the icon it needs.
  void showFailureBalloon(const HistoryRecord& record);

  HINSTANCE instance_;
  HWND mainWindow_ = nullptr;
  HWND list_ = nullptr;
  HWND statusBar_ = nullptr;
  HACCEL accelerators_ = nullptr;
  bool dueChecksPaused_ = false;
  bool windowHidden_ = false;  // in the notification area, not merely minimized
  ProgramTexts texts_;
  std::string programPath_;
  WindowsRunKey runKey_;
  HistoryFile historyFile_{historyFilePath()};
  HandledStartsFile handledFile_{handledStartsFilePath()};
  std::unique_ptr<LaunchHistory> history_;
  SettingsFile settingsFile_;
  Settings settings_;
  Help help_;
  std::unique_ptr<ListBoxList> visibleList_;
  std::unique_ptr<DetailsView> details_;
  std::unique_ptr<ScheduleDocument> document_;
  std::unique_ptr<WindowsShell> shell_;
  std::unique_ptr<WindowsMessageBoxes> boxes_;
  std::unique_ptr<BoxFailureReporter> boxReporter_;
  std::unique_ptr<UnseenFailureReporter> reporter_;
  std::unique_ptr<NotificationIcon> notificationIcon_;
  WindowsWakeTimer wakeTimer_;
  WakePlan wakePlan_{wakeTimer_};
  AwakeRule awakeRule_;
  bool keptAwake_ = false;
  FailureBalloon failureBalloon_;
  std::unique_ptr<CommandParts> parts_;
};

// Registers the window class "KV"; false when it cannot be registered.
bool registerMainWindowClass(HINSTANCE instance);

// The application attached to a main window (null before WM_NCCREATE).
Kivro* kivroOf(HWND mainWindow);

}  // namespace kv
