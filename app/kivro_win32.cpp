#include "app/kivro_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/commands_win32.h"
#include "app/file_commands.h"
#include "app/file_commands_win32.h"
#include "app/logon_start.h"
#include "app/main_window_win32.h"
#include "app/notification_tip.h"
#include "app/window_title.h"
#include "engine/calendar.h"
#include "engine/due_check.h"
#include "engine/handled_starts.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

constexpr const wchar_t* kWindowClass = L"KV";
constexpr const char* kCannotWakeText =
    "Windows does not let Kivro wake this computer: its power options do not allow wake "
    "timers. Entries still start whenever the computer is awake. The help page tells where "
    "to allow wake timers.";
constexpr const char* kCannotWakeCaption = "Wake the Computer to Run";
constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;  // 0xf0000
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_HASSTRINGS;  // 0x50000041

std::string loadString(HINSTANCE instance, UINT id, int room) {
  std::wstring text(static_cast<std::size_t>(room), L'\0');
  const int n = LoadStringW(instance, id, text.data(), room);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return toUtf8(text);
}

}  // namespace

Kivro::Kivro(HINSTANCE instance) : instance_(instance), help_(instance) {}

Kivro::~Kivro() {
  // Programs still running go on; the history says they are no longer
  // watched, while the shell that tells their ends is still here. Those
  // that ended meanwhile get no balloon: Kivro is going.
  if (history_) {
    history_->onAttention(nullptr);
    history_->stopWatching();
  }
  if (keptAwake_) keepComputerAwake(false);
  if (notificationIcon_) notificationIcon_->hide();
  if (mainWindow_ && IsWindow(mainWindow_)) DestroyWindow(mainWindow_);
}

bool registerMainWindowClass(HINSTANCE instance) {
  // Resource names are ASCII literals, shared with kv.rc: L"" makes them wide.
  WNDCLASSW wc{};
  wc.style = 0;
  wc.lpfnWndProc = mainWindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, L"" IDI_PROGRAM);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = L"" IDR_MAIN_MENU;
  wc.lpszClassName = kWindowClass;
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Kivro* kivroOf(HWND mainWindow) {
  return reinterpret_cast<Kivro*>(GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
}

bool Kivro::createWindows() {
  mainWindow_ = CreateWindowExW(0, kWindowClass, L"Kivro", kMainWindowStyle, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this);
  if (!mainWindow_) return false;
  DragAcceptFiles(mainWindow_, TRUE);
  RECT client{};
  GetClientRect(mainWindow_, &client);
  list_ = CreateWindowExW(0, L"Listbox", nullptr, kListStyle, 0, 0, client.right, client.bottom,
                          mainWindow_, reinterpret_cast<HMENU>(IDC_LIST), instance_, nullptr);
  if (!list_) {
    DestroyWindow(mainWindow_);
    mainWindow_ = nullptr;
    return false;
  }
  // Without its list view the entries show in rows only.
  details_ = std::make_unique<DetailsView>(mainWindow_, instance_, IDC_DETAILS);
  // Without the status bar the list simply fills the whole client area.
  statusBar_ =
      CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, mainWindow_,
                      reinterpret_cast<HMENU>(IDC_STATUS_BAR), instance_, nullptr);
  layOut(client.right, client.bottom);
  visibleList_ = std::make_unique<ListBoxList>(list_);
  document_ = std::make_unique<ScheduleDocument>(*visibleList_, formatStartRow);
  details_->drawFrom(document_->store);
  shell_ = std::make_unique<WindowsShell>(mainWindow_);
  boxes_ = std::make_unique<WindowsMessageBoxes>(mainWindow_);
  notificationIcon_ =
      std::make_unique<NotificationIcon>(mainWindow_, LoadIconW(instance_, L"" IDI_PROGRAM));
  boxReporter_ = std::make_unique<BoxFailureReporter>(*boxes_);
  reporter_ = std::make_unique<UnseenFailureReporter>(
      *boxReporter_, [this] { return windowHidden_; }, settings_);
  createHistory();
  createParts();
  return true;
}

void Kivro::createParts() {
  parts_ = std::make_unique<CommandParts>(
      instance_, mainWindow_, *this, *document_, [this] { return scheduleFiles(); }, *boxes_,
      settings_, settingsFile_, help_, texts_, runKey_, programPath_, *shell_, *reporter_,
      *history_, historyFile_);
}

// The history of starts, which watches what the shell starts and tells the
// Details view and the balloon of what it records.
void Kivro::createHistory() {
  history_ = std::make_unique<LaunchHistory>(
      historyFile_, currentTime, [this] { return fullPathOf(document_->fileName); }, &handledFile_);
  history_->watchWith(*shell_);
  history_->showTimesWith(formatStartTime);
  history_->onRecorded([this](const HistoryRecord& record) {
    if (settings_.view == ListView::Details) details_->noteRecord(record, historyScheduleName());
  });
  history_->onAttention([this](const HistoryRecord& record) { showFailureBalloon(record); });
}

void Kivro::readTexts() {
  wchar_t code[5] = L"";
  GetProfileStringW(L"intl", L"sLanguage", L"ENU", code, std::size(code));
  texts_.languageCode = toUtf8(code);
  texts_.versionText = loadString(instance_, IDS_VERSION, 8);
  texts_.productName = loadString(instance_, IDS_PRODUCT_NAME, 30);
  programPath_ = thisProgramPath();
}

ScheduleFiles Kivro::scheduleFiles() const {
  ScheduleFiles files{[](const std::string& path) { return readWholeFile(path); },
                      [](const std::string& path, std::string_view bytes) {
                        return replaceFileContents(path, bytes);
                      },
                      texts_.versionText, currentTime};
  files.legacyText = utf8FromAnsiCodePage;
  // Only a load that runs missed starts needs to know which starts are not
  // missed ones; otherwise every passed start is passed over anyway.
  if (settings_.runMissedStarts) {
    files.missedStarts = MissedStarts::RunOnce;
    files.handledStarts = [this](const std::string& fileName) {
      return handledThroughLookup(
          std::make_shared<const HandledStarts>(handledFile_.readAll(), fullPathOf(fileName)));
    };
  }
  return files;
}

CommandState Kivro::commandState() {
  const ScheduleStore& store = document_->store;
  return CommandState{store.selectedRow().has_value(), store.clipFull(),
                      document_->fileName.empty(), startsAtLogon(runKey_, programPath_), settings_};
}

void Kivro::updateTitle() {
  SetWindowTextW(mainWindow_, toWide(windowTitle(texts_.productName, document_->fileName)).c_str());
}

bool Kivro::armCheckTimer() {
  if (SetTimer(mainWindow_, ID_CHECK_TIMER, checkTimerPeriod(settingsFile_.readTime()), nullptr)) {
    return true;
  }
  boxes_->show({"Maximum Timers Exceeded.  Terminating Application.", "KV.EXE", BoxButtons::Ok,
                BoxIcon::Exclamation, BoxModality::TaskOwned});
  PostQuitMessage(0);
  return false;
}

void Kivro::pauseDueChecks() {
  KillTimer(mainWindow_, ID_CHECK_TIMER);
  dueChecksPaused_ = true;
}

void Kivro::resumeDueChecks() {
  dueChecksPaused_ = false;
  armCheckTimer();
}

void Kivro::checkDueEntries() {
  history_->checkEnds();
  if (!dueChecksPaused_) {
    runDueCheck(document_->store, *shell_, *reporter_, currentTime(), history_.get(),
                settings_.skipWhileRunning);
  }
  refreshStatus();
}

void Kivro::showLoadedSchedule() {
  if (!showScheduleRows(*document_, startRowFormatterForManyRows(), *boxes_)) updateTitle();
  if (settings_.view == ListView::Details) fitColumns();
}

HWND Kivro::list() const {
  return settings_.view == ListView::Details && details_ ? details_->window() : list_;
}

void Kivro::showView(ListView view) {
  if (view == settings_.view) return;
  switchTo(view);
  if (settings_.view == view) settingsFile_.writeView(view);
}

void Kivro::switchTo(ListView view) {
  const bool details = view == ListView::Details;
  if (view == settings_.view || (details && !details_->window())) return;
  keepColumnWidths();
  const HWND shown = list();
  {
    WaitCursor wait(mainWindow_);
    VisibleList& rows = details ? static_cast<VisibleList&>(*details_) : *visibleList_;
    document_->store.showIn(rows, startRowFormatterForManyRows());
  }
  settings_.view = view;
  if (details) {
    details_->readHistory(historyFile_.readAll(), historyScheduleName());
    fitColumns();
  }
  const bool hadKeyboard = GetFocus() == shown;
  ShowWindow(list(), SW_SHOW);
  ShowWindow(shown, SW_HIDE);
  if (hadKeyboard) SetFocus(list());
}

void Kivro::fitColumns() {
  // What the user dragged is kept first, so that fitting does not undo it.
  keepColumnWidths();
  details_->sizeColumns(settingsFile_.readColumnWidths(kDetailsColumnsKey, kDetailsColumnCount));
}

void Kivro::keepColumnWidths() {
  if (settings_.view != ListView::Details) return;
  const ColumnWidths widths = details_->columnWidthsToKeep();
  if (widths != settingsFile_.readColumnWidths(kDetailsColumnsKey, kDetailsColumnCount)) {
    settingsFile_.writeColumnWidths(kDetailsColumnsKey, widths);
  }
}

std::string Kivro::historyScheduleName() const {
  return fullPathOf(document_->fileName);
}

bool Kivro::start(const std::string& commandLineText, int showCommand) {
  accelerators_ = LoadAcceleratorsW(instance_, L"" IDR_ACCELERATORS);
  // The status bar and the History window's list.
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  if (!registerMainWindowClass(instance_)) return false;
  if (!createWindows()) return false;
  readTexts();
  settings_ = settingsFile_.read();
  // The window opens with its rows; the view kept is shown before the
  // schedule loads, so that the rows are made once.
  switchTo(std::exchange(settings_.view, ListView::Rows));
  showCheckMarks();
  armHideTimer();
  armCheckTimer();
  updateTitle();
  if (!commandLineText.empty()) openScheduleFile(*parts_, commandLineText);
  followSchedule();
  ShowWindow(mainWindow_, showCommand);
  UpdateWindow(mainWindow_);
  return true;
}

std::string Kivro::notificationTipText() {
  const ScheduleStore& store = document_->store;
  if (store.empty()) return notificationTip(texts_.productName, document_->fileName, "", "");
  const ScheduleEntry& next = store.firstDue();
  return notificationTip(texts_.productName, document_->fileName, next.description,
                         formatStartTime(next.start));
}

void Kivro::refreshStatus() {
  if (!statusBar_) return;
  const std::optional<HistoryRecord>& last = history_->lastStart();
  const std::wstring text = last ? toWide(lastStartText(*last, formatStartTime(last->attempted),
                                                        history_->failureUnseen()))
                                 : std::wstring();
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Kivro::recallLastStart() {
  const std::string bytes = historyFile_.readAll();
  history_->recallLastStart(bytes);
  if (settings_.view == ListView::Details) details_->readHistory(bytes, historyScheduleName());
  refreshStatus();
}

void Kivro::layOut(int width, int height) {
  int listHeight = height;
  if (statusBar_) {
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(statusBar_, &bar);
    listHeight = std::max(0, height - static_cast<int>(bar.bottom - bar.top));
  }
  if (list_) MoveWindow(list_, 0, 0, width, listHeight, TRUE);
  if (details_ && details_->window()) {
    MoveWindow(details_->window(), 0, 0, width, listHeight, TRUE);
  }
}

void Kivro::hideToNotificationArea() {
  windowHidden_ = true;
  history_->setWindowHidden(true);
  ShowWindow(mainWindow_, SW_HIDE);
  notificationIcon_->show(notificationTipText());
}

void Kivro::bringBack() {
  windowHidden_ = false;
  history_->setWindowHidden(false);
  ShowWindow(mainWindow_, SW_SHOW);
  if (IsIconic(mainWindow_)) ShowWindow(mainWindow_, SW_RESTORE);
  SetForegroundWindow(mainWindow_);
  // A minimized window holds the keyboard focus itself, and restoring it
  // does not hand the focus on to the list: the list takes it here, so that
  // Enter, Del and the arrow keys act on its selection at once.
  SetFocus(list());
  if (!failureBalloon_.showing()) notificationIcon_->hide();
}

void Kivro::showFailureBalloon(const HistoryRecord& record) {
  const std::optional<Balloon> balloon = failureBalloon_.failed(record, settings_.notifyOnFailure);
  if (!balloon) return;
  // While the window shows, the icon comes for the balloon alone.
  const bool shown =
      notificationIcon_->show(notificationTipText()) && notificationIcon_->showBalloon(*balloon);
  // A balloon the shell refused never goes by itself.
  if (!shown) balloonGone();
}

void Kivro::balloonGone() {
  failureBalloon_.gone();
  if (!windowHidden_) notificationIcon_->hide();
}

void Kivro::balloonClicked() {
  balloonGone();
  if (windowHidden_) bringBack();
  runCommand(*parts_, IDM_HISTORY);
}

void Kivro::notificationAreaRestarted() {
  balloonGone();
  notificationIcon_->showAgain();
}

void Kivro::refreshNotificationTip() {
  if (notificationIcon_->shown()) notificationIcon_->setTip(notificationTipText());
}

void Kivro::followSchedule() {
  refreshNotificationTip();
  followWithWakeTimer();
  keepAwakeWhileProgramsRun();
}

void Kivro::followWithWakeTimer() {
  const ScheduleStore& store = document_->store;
  const std::optional<Time> firstDue =
      store.empty() ? std::nullopt : std::optional<Time>(store.firstDue().start);
  if (wakePlan_.follow(settings_.wakeToRun, firstDue) == WakePlan::Tell::CannotWake) {
    boxes_->show({kCannotWakeText, kCannotWakeCaption, BoxButtons::Ok, BoxIcon::Exclamation});
  }
}

void Kivro::keepAwakeWhileProgramsRun() {
  const bool awake =
      awakeRule_.keepAwake(settings_.wakeToRun, history_->watchedCount() > 0, currentTime());
  if (awake == keptAwake_) return;
  keepComputerAwake(awake);
  keptAwake_ = awake;
}

// The wake timer fired: the computer may have woken for the first-due
// entry, which starts at once.
void Kivro::onWakeTimer() {
  checkDueEntriesNow();
}

void Kivro::checkDueEntriesNow() {
  runGuarded(*boxes_, [this] { checkDueEntries(); });
  followSchedule();
}

void Kivro::armHideTimer() {
  if (settings_.hideIcon) SetTimer(mainWindow_, ID_HIDE_TIMER, kHideDelay, nullptr);
}

void Kivro::hideIfMinimized() {
  if (IsIconic(mainWindow_)) hideToNotificationArea();
  KillTimer(mainWindow_, ID_HIDE_TIMER);
}

void Kivro::windowDestroyed() {
  keepColumnWidths();
  // A start whose list could not be made destroys the window before the
  // icon exists.
  if (notificationIcon_) notificationIcon_->hide();
  help_.quit(mainWindow_);
}

void Kivro::showCheckMarks() {
  kv::showCheckMarks(GetMenu(mainWindow_), commandState());
}

int Kivro::run() {
  // The loop waits for messages and for the wake timer together, so that
  // its firing is noticed on this one thread.
  const HANDLE wake = wakeTimer_.handle();
  const DWORD handles = wake ? 1 : 0;
  while (true) {
    const DWORD woken = MsgWaitForMultipleObjects(handles, &wake, FALSE, INFINITE, QS_ALLINPUT);
    if (handles == 1 && woken == WAIT_OBJECT_0) {
      onWakeTimer();
      continue;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      if (accelerators_ && TranslateAcceleratorW(mainWindow_, accelerators_, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace kv
