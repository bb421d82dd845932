// The black-box driver: starts the real kv.exe and works it as a person
// would, through its windows, menus' commands, keys, dialogs and boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "window_search_win32.h"

namespace kvtest {

// A folder of its own for one test (under the Windows temp folder), removed
// with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Files by names in UTF-8, any name.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

// The settings file kv.exe uses, in the user's application-data folder.
std::string settingsFile();
// A key of section "KV" in it, or "<missing>".
std::string readSetting(const char* key);

// Sets a KV.INI key for the length of a test and puts the old value back.
class ScopedSetting {
 public:
  ScopedSetting(const char* key, const char* value);
  ~ScopedSetting();
  ScopedSetting(const ScopedSetting&) = delete;
  ScopedSetting& operator=(const ScopedSetting&) = delete;

 private:
  std::string key_;
  std::string old_;
  bool had_;
};

class KivroProcess {
 public:
  // Starts kv.exe with this command-line text (UTF-8) after its name.
  explicit KivroProcess(const std::string& arguments = "");
  ~KivroProcess();
  KivroProcess(const KivroProcess&) = delete;
  KivroProcess& operator=(const KivroProcess&) = delete;

  DWORD id() const { return process_.dwProcessId; }
  // The main window once it shows (null if it did not within 10 s).
  HWND mainWindow();
  // The Rows view's list box, the Details view's list view, and the one of
  // them shown.
  HWND list();
  HWND details();
  HWND shownList();
  std::string title();
  // The status bar's text (read by message: the bar keeps it in its parts).
  std::string statusText();
  std::vector<std::string> rows();

  // A menu command or accelerator's command, posted as the menu sends it.
  void command(int id);
  void key(WPARAM virtualKey);
  // Selects a row of the list shown as a click would (the list notifies its
  // parent).
  void selectRow(int row);

  // Drops files on the main window as the shell does: a DROPFILES block in
  // the program's memory, its address as the drop handle. False when the
  // block could not be made.
  bool dropFiles(const std::vector<std::string>& files);

  HWND waitForDialog(const char* caption, DWORD timeoutMs = 10000) {
    return kvtest::waitForDialog(id(), caption, timeoutMs);
  }
  // Waits for a box, checks nothing, presses the button, returns its text.
  std::string answer(const char* caption, int buttonId);
  // A common file dialog of this caption: types the path into its name
  // field and presses OK. False when no such dialog came.
  bool chooseFile(const char* caption, const std::string& path);

  // Exit status once the process has ended, or -1 after the timeout.
  long waitForExit(DWORD timeoutMs = 10000);
  bool running() const;

 private:
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

// Waits until `predicate` holds, polling; false after the timeout.
template <typename Predicate>
bool eventually(Predicate predicate, DWORD timeoutMs = 10000) {
  DWORD started = GetTickCount();
  while (!predicate()) {
    if (GetTickCount() - started > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace kvtest
