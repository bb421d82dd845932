#include "app/kivro_win32.h"

#include <shellapi.h>

#include <cstdio>

#include "app/file_commands_win32.h"
#include "app/main_window_win32.h"
#include "app/settings.h"
#include "app/window_title.h"
#include "engine/calendar.h"
#include "engine/due_check.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr DWORD kMainWindowStyle =
    WS_OVERLAPPED | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;  // 0xf0000
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_HASSTRINGS;  // 0x50000041
constexpr UINT kHideDelay = 10000;

std::string loadString(HINSTANCE instance, UINT id, int room) {
  std::string text(static_cast<std::size_t>(room), '\0');
  int n = LoadStringA(instance, id, text.data(), room);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

bool readFlag(const char* key, const char* defaultText) {
  char value[2] = "";
  GetPrivateProfileStringA(kSettingsSection, key, defaultText, value, sizeof value, kSettingsFile);
  return flagIsOn(value);
}

void setCheckedItem(HMENU menu, UINT id, const char* text, bool checked) {
  UINT check = static_cast<UINT>(checked ? MF_CHECKED : MF_UNCHECKED);
  ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING | check, id, text);
}

}  // namespace

Kivro::Kivro(HINSTANCE instance) : instance_(instance) {}

Kivro::~Kivro() {
  if (mainWindow_ && IsWindow(mainWindow_)) DestroyWindow(mainWindow_);
}

bool registerMainWindowClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.style = 0;
  wc.lpfnWndProc = mainWindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "KV");
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = "KV";
  wc.lpszClassName = "KV";
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Kivro* kivroOf(HWND mainWindow) {
  return reinterpret_cast<Kivro*>(GetWindowLongPtrA(mainWindow, GWLP_USERDATA));
}

bool Kivro::createWindows() {
  mainWindow_ = CreateWindowExA(0, "KV", "Kivro", kMainWindowStyle, CW_USEDEFAULT, 0, CW_USEDEFAULT,
                                0, nullptr, nullptr, instance_, this);
  if (!mainWindow_) return false;
  DragAcceptFiles(mainWindow_, TRUE);
  RECT client{};
  GetClientRect(mainWindow_, &client);
  list_ = CreateWindowExA(0, "Listbox", nullptr, kListStyle, 0, 0, client.right, client.bottom,
                          mainWindow_, reinterpret_cast<HMENU>(IDC_LIST), instance_, nullptr);
  if (!list_) {
    DestroyWindow(mainWindow_);
    mainWindow_ = nullptr;
    return false;
  }
  visibleList_ = std::make_unique<ListBoxList>(list_);
  store_ = std::make_unique<ScheduleStore>(*visibleList_, formatStartRow);
  shell_ = std::make_unique<WindowsShell>(mainWindow_);
  reporter_ = std::make_unique<MessageBoxReporter>(mainWindow_);
  return true;
}

void Kivro::readLanguageCode() {
  char code[5] = "";
  GetProfileStringA("intl", "sLanguage", "ENU", code, sizeof code);
  languageCode_ = code;
}

void Kivro::loadVersionText() {
  versionText_ = loadString(instance_, IDS_VERSION, 8);
}

void Kivro::readFlags() {
  HMENU menu = GetMenu(mainWindow_);
  associationWarning_ = readFlag(kAssociationWarningKey, "1");
  setCheckedItem(menu, IDM_ASSOCIATION_WARNING, "&Association Warning", associationWarning_);
  hideIcon_ = readFlag(kHideIconKey, "0");
  setCheckedItem(menu, IDM_HIDE_ICON, "&Hide Icon", hideIcon_);
}

void Kivro::updateTitle() {
  std::string product = loadString(instance_, IDS_PRODUCT_NAME, 81);
  SetWindowTextA(mainWindow_, windowTitle(product, currentFileName_).c_str());
}

bool Kivro::armCheckTimer() {
  UINT time = GetPrivateProfileIntA(kSettingsSection, kTimeKey, kDefaultTime, kSettingsFile);
  if (SetTimer(mainWindow_, ID_CHECK_TIMER, checkTimerPeriod(time), nullptr)) return true;
  MessageBoxA(mainWindow_, "Maximum Timers Exceeded.  Terminating Application.", "KV.EXE",
              MB_TASKMODAL | MB_ICONEXCLAMATION);
  PostQuitMessage(0);
  return false;
}

void Kivro::disarmCheckTimer() {
  KillTimer(mainWindow_, ID_CHECK_TIMER);
}

void Kivro::checkDueEntries() {
  runDueCheck(*store_, *shell_, *reporter_, currentTime());
}

void Kivro::showLoadedSchedule() {
  store_->rebuildVisibleList();
  store_->reloadFirstDue();
}

bool Kivro::start(const std::string& commandLineText, int showCommand) {
  accelerators_ = LoadAcceleratorsA(instance_, "KvAcc");
  readLanguageCode();
  currentFileName_.clear();
  if (!registerMainWindowClass(instance_)) return false;
  if (!createWindows()) return false;
  loadVersionText();
  readFlags();
  if (hideIcon_) SetTimer(mainWindow_, ID_HIDE_TIMER, kHideDelay, nullptr);
  armCheckTimer();
  store_->reloadFirstDue();
  updateTitle();
  if (!commandLineText.empty()) openScheduleFile(*this, commandLineText);
  ShowWindow(mainWindow_, showCommand);
  UpdateWindow(mainWindow_);
  return true;
}

int Kivro::run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (accelerators_ && TranslateAcceleratorA(mainWindow_, accelerators_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace kv
