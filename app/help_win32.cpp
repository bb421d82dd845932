#include "app/help_win32.h"

#include <shellapi.h>

namespace kv {
namespace {

std::string programFolder(HINSTANCE instance) {
  char path[MAX_PATH] = "";
  DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
  std::string full(path, n < MAX_PATH ? n : 0);
  std::size_t separator = full.find_last_of("\\/");
  return separator == std::string::npos ? "." : full.substr(0, separator);
}

bool fileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool shellSucceeded(HINSTANCE result) {
  return reinterpret_cast<UINT_PTR>(result) > 32;
}

}  // namespace

Help::Help(HINSTANCE instance) {
  std::string folder = programFolder(instance);
  helpFilePath_ = folder + "\\" + kHelpFileName;
  pagePath_ = folder + "\\" + kHelpPageName;
}

void Help::show(HWND owner, HelpTopic topic) {
  if (fileExists(helpFilePath_)) {
    showInViewer(owner, topic);
  } else {
    showPage(owner, topic);
  }
}

void Help::showInViewer(HWND owner, HelpTopic topic) {
  static char emptyKey[] = "";
  static char entryKey[] = "Edit...";
  viewerUsed_ = true;
  switch (topic) {
    case HelpTopic::Contents:
      WinHelpA(owner, helpFilePath_.c_str(), HELP_CONTENTS, 0);
      break;
    case HelpTopic::Search:
      WinHelpA(owner, helpFilePath_.c_str(), HELP_PARTIALKEY,
               reinterpret_cast<ULONG_PTR>(emptyKey));
      break;
    case HelpTopic::HowToUseHelp:
      WinHelpA(owner, helpFilePath_.c_str(), HELP_HELPONHELP, 0);
      break;
    case HelpTopic::EntryDialog:
      WinHelpA(owner, helpFilePath_.c_str(), HELP_PARTIALKEY,
               reinterpret_cast<ULONG_PTR>(entryKey));
      break;
  }
}

// The page opens at its topic in the browser that opens such pages; a page
// handed to the shell by its file name would lose the place.
void Help::showPage(HWND owner, HelpTopic topic) {
  const char* anchor = helpPageAnchor(topic);
  char browser[MAX_PATH] = "";
  if (shellSucceeded(FindExecutableA(pagePath_.c_str(), nullptr, browser))) {
    std::string address = fileAddress(pagePath_) + "#" + anchor;
    if (shellSucceeded(
            ShellExecuteA(owner, "open", browser, address.c_str(), nullptr, SW_SHOWNORMAL))) {
      return;
    }
  }
  if (shellSucceeded(
          ShellExecuteA(owner, "open", pagePath_.c_str(), nullptr, nullptr, SW_SHOWNORMAL))) {
    return;
  }
  std::string text = helpPageMissingText(pagePath_);
  MessageBoxA(owner, text.c_str(), "Help", MB_OK | MB_ICONINFORMATION);
}

void Help::quit(HWND owner) {
  if (viewerUsed_) WinHelpA(owner, helpFilePath_.c_str(), HELP_QUIT, 0);
}

}  // namespace kv
