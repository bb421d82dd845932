// Works a running kv.exe from a shell script, one step per call, for the
// package check and the screenshots:
//   kv_drive wait                      waits for the main window, prints its title
//   kv_drive rows                      prints the number of rows in its list
//   kv_drive command ID                posts a menu command to it
//   kv_drive place CAPTION X Y [W H]   moves (and sizes) a window; "KV" is the main one
//   kv_drive text CAPTION ID TEXT      sets the text of a dialog's control
//   kv_drive select CAPTION ID INDEX   chooses a row of a dialog's drop-down list
//   kv_drive click CAPTION ID          presses a dialog's button or check box
//   kv_drive gone CAPTION              waits until that dialog or box is gone
//   kv_drive focus                     prints the caption of the window that is
//                                      active in Kivro and the id of the control
//                                      with the focus (0: none), tab-separated
//   kv_drive selected                  prints the selected row of the list (-1: none)
//   kv_drive select-row INDEX          selects a row of the list shown, Rows or Details,
//                                      as a click does
//   kv_drive row INDEX                 prints the text of that row of the list
//   kv_drive read CAPTION ID           prints the text of a dialog's control
//   kv_drive hide                      minimizes the main window and lets its hide
//                                      timer tick: it goes to the notification area
//   kv_drive icon                      clicks its notification-area icon
//   kv_drive count                     prints the number of Kivro main windows,
//                                      hidden ones too
//   kv_drive open FILE [SECONDS]       opens a schedule as a double-click does:
//                                      runs the Open command of the user's file
//                                      type of .KV with %1 filled in, and prints
//                                      that command line; with SECONDS, waits
//                                      that long for the program to end (1: it
//                                      did not, or ended with another code than 0)
//   kv_drive shortcut LNK              prints a shortcut's target, arguments and
//                                      working folder, one a line
// A dialog is named by its caption and waited for up to 10 s. With
// KV_DRIVE_TITLE set, the main window is the one whose title holds that
// text (other copies of Kivro may run beside it). Exit status 0 on success,
// 1 when the window or control is not there, 2 on bad usage.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "remote_list_view_win32.h"
#include "resources/resource_ids.h"

namespace {

// The main window sought: visible only, or hidden as well.
struct MainWindowSearch {
  bool hiddenToo = false;
  HWND found = nullptr;
};

BOOL CALLBACK takeIfMain(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<MainWindowSearch*>(search);
  char name[8] = "";
  char title[512] = "";
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, title, sizeof title);
  const char* titled = std::getenv("KV_DRIVE_TITLE");
  if (std::strcmp(name, "KV") != 0) return TRUE;
  if (!wanted.hiddenToo && !IsWindowVisible(window)) return TRUE;
  if (titled && !std::strstr(title, titled)) return TRUE;
  wanted.found = window;
  return FALSE;
}

HWND mainWindow(bool hiddenToo = false) {
  MainWindowSearch search{hiddenToo};
  EnumWindows(takeIfMain, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitFor(const char* caption) {
  bool main = std::strcmp(caption, "KV") == 0;
  for (int tries = 0; tries < 500; ++tries) {
    HWND window = main ? mainWindow() : FindWindowA("#32770", caption);
    if (window && IsWindowVisible(window)) return window;
    Sleep(20);
  }
  std::fprintf(stderr, "kv_drive: no window \"%s\"\n", caption);
  return nullptr;
}

HWND control(const char* caption, const char* id) {
  HWND dialog = waitFor(caption);
  HWND item = dialog ? GetDlgItem(dialog, std::atoi(id)) : nullptr;
  if (dialog && !item) std::fprintf(stderr, "kv_drive: \"%s\" has no control %s\n", caption, id);
  return item;
}

// A window's or a row's text in UTF-8: across processes the list answers
// in UTF-16 only.
std::string utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(std::strlen(bytes.c_str()));
  return bytes;
}

int printRow(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return 1;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  std::printf("%s\n", utf8(text).c_str());
  return 0;
}

int printText(HWND window) {
  // Sent, not GetWindowTextW: that reads another process's edit no further
  // than its caption.
  wchar_t text[1024] = L"";
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  std::printf("%s\n", utf8(text).c_str());
  return 0;
}

// The Details view's list view is worked through memory in kv.exe; the
// list box tells its parent of the selection as a click would.
int selectRow(HWND main, int row) {
  HWND details = GetDlgItem(main, IDC_DETAILS);
  if (details && IsWindowVisible(details)) {
    kvtest::RemoteListView view(details);
    if (!view.usable()) return 1;
    view.select(row);
    return 0;
  }
  HWND list = GetDlgItem(main, IDC_LIST);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  return 0;
}

bool waitUntil(bool (*done)(HWND), HWND window) {
  for (int tries = 0; tries < 500; ++tries) {
    if (done(window)) return true;
    Sleep(20);
  }
  return false;
}

// As the user leaves it: minimized, then hidden by the next tick of the
// hide timer, which Hide Icon would otherwise start ten seconds away.
int hideToNotificationArea(HWND main) {
  ShowWindowAsync(main, SW_MINIMIZE);
  if (!waitUntil([](HWND w) { return IsIconic(w) != FALSE; }, main)) return 1;
  PostMessageA(main, WM_TIMER, ID_HIDE_TIMER, 0);
  return waitUntil([](HWND w) { return IsWindowVisible(w) == FALSE; }, main) ? 0 : 1;
}

BOOL CALLBACK countIfMain(HWND window, LPARAM count) {
  char name[8] = "";
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "KV") == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The default value of a key under HKEY_CURRENT_USER; empty when missing.
std::string userDefaultValue(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
    return {};
  }
  char value[1024] = "";
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  const LONG status =
      RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : std::string();
}

// What Explorer runs for a double-clicked file of this user's .KV type.
// Wine's own shell cannot be asked: it does not read per-user file types.
int openAsDoubleClick(const char* file, int waitSeconds) {
  const std::string progId = userDefaultValue("Software\\Classes\\.KV");
  std::string command =
      progId.empty() ? std::string()
                     : userDefaultValue("Software\\Classes\\" + progId + "\\shell\\open\\command");
  if (command.empty()) {
    std::fprintf(stderr, "kv_drive: .KV has no Open command for this user\n");
    return 1;
  }
  for (std::size_t at = command.find("%1"); at != std::string::npos;
       at = command.find("%1", at + std::strlen(file))) {
    command.replace(at, 2, file);
  }
  std::printf("%s\n", command.c_str());
  std::fflush(stdout);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "kv_drive: cannot run it (error %lu)\n", GetLastError());
    return 1;
  }
  int status = 0;
  if (waitSeconds > 0) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(waitSeconds) * 1000) !=
            WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code) || code != 0) {
      std::fprintf(stderr, "kv_drive: the program did not end, or ended with %lu\n", code);
      status = 1;
    }
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

int printShortcut(const char* file) {
  if (FAILED(CoInitialize(nullptr))) return 1;
  int status = 1;
  IShellLinkA* link = nullptr;
  IPersistFile* persisted = nullptr;
  wchar_t wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persisted))) &&
      SUCCEEDED(persisted->Load(wide, STGM_READ))) {
    char target[MAX_PATH] = "";
    char arguments[1024] = "";
    char folder[MAX_PATH] = "";
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(arguments, sizeof arguments);
    link->GetWorkingDirectory(folder, MAX_PATH);
    std::printf("%s\n%s\n%s\n", target, arguments, folder);
    status = 0;
  } else {
    std::fprintf(stderr, "kv_drive: cannot read the shortcut %s\n", file);
  }
  if (persisted) persisted->Release();
  if (link) link->Release();
  CoUninitialize();
  return status;
}

int run(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* verb = argv[1];
  if (!std::strcmp(verb, "wait") && argc == 2) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    char title[512] = "";
    GetWindowTextA(main, title, sizeof title);
    std::printf("%s\n", title);
    return 0;
  }
  if (!std::strcmp(verb, "rows") && argc == 2) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    std::printf("%ld\n", static_cast<long>(SendMessageA(GetDlgItem(main, 101), LB_GETCOUNT, 0, 0)));
    return 0;
  }
  if (!std::strcmp(verb, "command") && argc == 3) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0);
    return 0;
  }
  if (!std::strcmp(verb, "place") && (argc == 5 || argc == 7)) {
    HWND window = waitFor(argv[2]);
    if (!window) return 1;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (argc == 5 ? SWP_NOSIZE : 0);
    int width = argc == 7 ? std::atoi(argv[5]) : 0;
    int height = argc == 7 ? std::atoi(argv[6]) : 0;
    SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), width, height, flags);
    return 0;
  }
  if (!std::strcmp(verb, "text") && argc == 5) {
    HWND item = control(argv[2], argv[3]);
    if (!item) return 1;
    SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    return 0;
  }
  if (!std::strcmp(verb, "select") && argc == 5) {
    HWND item = control(argv[2], argv[3]);
    if (!item) return 1;
    SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
    // The list tells its dialog only of a choice made by the user.
    SendMessageA(GetParent(item), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(item), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item));
    return 0;
  }
  if (!std::strcmp(verb, "click") && argc == 4) {
    HWND item = control(argv[2], argv[3]);
    if (!item) return 1;
    SendMessageA(item, BM_CLICK, 0, 0);
    return 0;
  }
  if (!std::strcmp(verb, "gone") && argc == 3) {
    for (int tries = 0; tries < 500; ++tries) {
      HWND box = FindWindowA("#32770", argv[2]);
      if (!box || !IsWindowVisible(box)) return 0;
      Sleep(20);
    }
    return 1;
  }
  if (!std::strcmp(verb, "focus") && argc == 2) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return 1;
    char caption[512] = "";
    if (info.hwndActive) GetWindowTextA(info.hwndActive, caption, sizeof caption);
    std::printf("%s\t%d\n", caption, info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
  }
  if (!std::strcmp(verb, "selected") && argc == 2) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    std::printf("%ld\n",
                static_cast<long>(SendMessageA(GetDlgItem(main, 101), LB_GETCURSEL, 0, 0)));
    return 0;
  }
  if (!std::strcmp(verb, "select-row") && argc == 3) {
    HWND main = waitFor("KV");
    return main ? selectRow(main, std::atoi(argv[2])) : 1;
  }
  if (!std::strcmp(verb, "row") && argc == 3) {
    HWND main = waitFor("KV");
    if (!main) return 1;
    return printRow(GetDlgItem(main, IDC_LIST), std::atoi(argv[2]));
  }
  if (!std::strcmp(verb, "read") && argc == 4) {
    HWND item = control(argv[2], argv[3]);
    return item ? printText(item) : 1;
  }
  if (!std::strcmp(verb, "hide") && argc == 2) {
    HWND main = waitFor("KV");
    return main ? hideToNotificationArea(main) : 1;
  }
  if (!std::strcmp(verb, "icon") && argc == 2) {
    HWND main = mainWindow(true);
    if (!main) return 1;
    PostMessageA(main, WM_NOTIFICATION_ICON, 1, NIN_SELECT);
    return 0;
  }
  if (!std::strcmp(verb, "count") && argc == 2) {
    int count = 0;
    EnumWindows(countIfMain, reinterpret_cast<LPARAM>(&count));
    std::printf("%d\n", count);
    return 0;
  }
  if (!std::strcmp(verb, "open") && (argc == 3 || argc == 4)) {
    return openAsDoubleClick(argv[2], argc == 4 ? std::atoi(argv[3]) : 0);
  }
  if (!std::strcmp(verb, "shortcut") && argc == 3) return printShortcut(argv[2]);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int status = run(argc, argv);
  if (status == 2) std::fprintf(stderr, "kv_drive: see the usage at the top of drive_win32.cpp\n");
  return status;
}
