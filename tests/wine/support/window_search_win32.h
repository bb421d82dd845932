// Finding and working windows of a process: the main window, dialogs and
// message boxes by caption, their texts and buttons. Used both by the
// black-box driver (another process) and by in-process tests (a second
// thread answering a modal box).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kvtest {

// The first visible top-level window of the process with this class (and
// caption, when given), waiting up to timeoutMs. Null when none came.
HWND waitForWindow(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);

// A dialog or message box ("#32770") of the process by its caption.
inline HWND waitForDialog(DWORD processId, const char* caption, DWORD timeoutMs = 10000) {
  return waitForWindow(processId, "#32770", caption, timeoutMs);
}

// True when no window of that class and caption shows within timeoutMs.
bool noWindowWithin(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);

// A text of the wide API in the ANSI code page.
std::string toAnsi(const std::wstring& wide);

// Texts read through the wide API (Wine returns UTF-16 across processes) and
// converted to the ANSI code page.
std::string windowText(HWND window);
// The text of a message box (its static control 0xFFFF).
std::string messageBoxText(HWND box);
std::vector<std::string> listBoxRows(HWND listBox);

// Presses a button of a dialog or message box (IDOK, IDYES, ...).
void pressButton(HWND dialog, int buttonId);

// Waits until the window is gone.
bool waitUntilGone(HWND window, DWORD timeoutMs = 10000);

}  // namespace kvtest
