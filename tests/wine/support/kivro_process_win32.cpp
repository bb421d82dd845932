#include "kivro_process_win32.h"

#include <shlobj.h>
#include <shellapi.h>

#include "remote_list_view_win32.h"

#include <stdexcept>

#include "resources/resource_ids.h"

namespace kvtest {

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = "";
  GetTempPathA(MAX_PATH, temp);
  static unsigned counter = 0;
  // Wine hands out the same process ids run after run, and what Kivro keeps
  // of a schedule by its path (the history, the starts it dealt with)
  // outlives the folder: the time makes the folder one no earlier run used.
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  char name[MAX_PATH];
  snprintf(name, sizeof name, "%skivro-test-%lu-%u-%08lx%08lx", temp, GetCurrentProcessId(),
           ++counter, now.dwHighDateTime, now.dwLowDateTime);
  path_ = name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string entry = path_ + "\\" + found.cFileName;
      SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(entry.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string readFile(const std::string& path) {
  const HANDLE file = CreateFileW(wideOf(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

void writeFile(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(wideOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool fileExists(const std::string& path) {
  return GetFileAttributesW(wideOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string settingsFile() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  std::string kivro = std::string(folder) + "\\Kivro";
  CreateDirectoryA(kivro.c_str(), nullptr);
  return kivro + "\\KV.INI";
}

std::string readSetting(const char* key) {
  char value[64] = "";
  GetPrivateProfileStringA("KV", key, "<missing>", value, sizeof value, settingsFile().c_str());
  return value;
}

ScopedSetting::ScopedSetting(const char* key, const char* value) : key_(key) {
  old_ = readSetting(key);
  had_ = old_ != "<missing>";
  WritePrivateProfileStringA("KV", key, value, settingsFile().c_str());
}

ScopedSetting::~ScopedSetting() {
  WritePrivateProfileStringA("KV", key_.c_str(), had_ ? old_.c_str() : nullptr,
                             settingsFile().c_str());
}

KivroProcess::KivroProcess(const std::string& arguments) {
  std::string line = std::string("\"") + KV_EXE_PATH + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::wstring wideLine = wideOf(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    throw std::runtime_error("kv.exe could not be started: " + line);
  }
}

KivroProcess::~KivroProcess() {
  if (running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND KivroProcess::mainWindow() {
  if (!main_) main_ = waitForWindow(id(), "KV", nullptr, 10000);
  return main_;
}

HWND KivroProcess::list() {
  return GetDlgItem(mainWindow(), IDC_LIST);
}

HWND KivroProcess::details() {
  return GetDlgItem(mainWindow(), 105);
}

HWND KivroProcess::shownList() {
  HWND view = details();
  return view && IsWindowVisible(view) ? view : list();
}

std::string KivroProcess::title() {
  return windowText(mainWindow());
}

std::string KivroProcess::statusText() {
  return windowText(GetDlgItem(mainWindow(), IDC_STATUS_BAR));
}

std::vector<std::string> KivroProcess::rows() {
  return listBoxRows(list());
}

void KivroProcess::command(int id) {
  PostMessageA(mainWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void KivroProcess::key(WPARAM virtualKey) {
  PostMessageA(shownList(), WM_KEYDOWN, virtualKey, 1);
  PostMessageA(shownList(), WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void KivroProcess::selectRow(int row) {
  if (shownList() == details()) {
    RemoteListView(details()).select(row);
    return;
  }
  SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(101, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list()));
}

bool KivroProcess::dropFiles(const std::vector<std::string>& files) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  std::string block(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::string& file : files) block += file + '\0';
  block += '\0';
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id());
  if (!process) return false;
  void* address =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool made =
      address && WriteProcessMemory(process, address, block.data(), block.size(), nullptr);
  CloseHandle(process);
  if (made) PostMessageA(mainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(address), 0);
  return made;
}

std::string KivroProcess::answer(const char* caption, int buttonId) {
  HWND box = waitForDialog(caption);
  if (!box) return "<no box \"" + std::string(caption) + "\">";
  std::string text = messageBoxText(box);
  pressButton(box, buttonId);
  waitUntilGone(box);
  return text;
}

bool KivroProcess::chooseFile(const char* caption, const std::string& path) {
  HWND dialog = waitForDialog(caption);
  if (!dialog) return false;
  HWND comboEx = GetDlgItem(dialog, 1148);
  HWND combo = FindWindowExA(comboEx, nullptr, "ComboBox", nullptr);
  HWND edit = FindWindowExA(combo ? combo : comboEx, nullptr, "Edit", nullptr);
  if (!edit) edit = GetDlgItem(dialog, 1152);  // the plain edit of older dialogs
  if (!edit) return false;
  setWindowText(edit, path);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  waitUntilGone(dialog);
  return true;
}

long KivroProcess::waitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

bool KivroProcess::running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

}  // namespace kvtest
