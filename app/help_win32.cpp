#include "app/help_win32.h"

#include <shellapi.h>

#include <iterator>

#include "engine/program_lookup_win32.h"
#include "schedule/code_pages_win32.h"

#include "schedule/file_io_win32.h"
#include "schedule/message_boxes_win32.h"

namespace kv {
namespace {

std::string programFolder(HINSTANCE instance) {
  wchar_t path[MAX_PATH * 2] = L"";
  const DWORD n = GetModuleFileNameW(instance, path, std::size(path));
  const std::string full = toUtf8(std::wstring_view(path, n < std::size(path) ? n : 0));
  std::size_t separator = full.find_last_of("\\/");
  return separator == std::string::npos ? "." : full.substr(0, separator);
}

bool shellSucceeded(HINSTANCE result) {
  return reinterpret_cast<UINT_PTR>(result) > 32;
}

// What the help viewer is asked for each topic.
struct ViewerCall {
  UINT command;
  ULONG_PTR data;
};

ViewerCall viewerCallFor(HelpTopic topic) {
  static wchar_t emptyKey[] = L"";
  static wchar_t entryKey[] = L"Edit...";
  switch (topic) {
    case HelpTopic::Contents:
      return {HELP_CONTENTS, 0};
    case HelpTopic::Search:
      return {HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(emptyKey)};
    case HelpTopic::HowToUseHelp:
      return {HELP_HELPONHELP, 0};
    case HelpTopic::EntryDialog:
      break;
  }
  return {HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(entryKey)};
}

}  // namespace

Help::Help(HINSTANCE instance) {
  std::string folder = programFolder(instance);
  helpFilePath_ = folder + "\\" + kHelpFileName;
  pagePath_ = folder + "\\" + kHelpPageName;
}

void Help::show(HWND owner, HelpTopic topic) {
  if (isFile(helpFilePath_)) {
    showInViewer(owner, topic);
  } else {
    showPage(owner, topic);
  }
}

void Help::showInViewer(HWND owner, HelpTopic topic) {
  const ViewerCall call = viewerCallFor(topic);
  viewerUsed_ = true;
  WinHelpW(owner, toWide(helpFilePath_).c_str(), call.command, call.data);
}

// The page opens at its topic in the browser that opens such pages; a page
// handed to the shell by its file name would lose the place.
void Help::showPage(HWND owner, HelpTopic topic) {
  const char* anchor = helpPageAnchor(topic);
  const std::wstring page = toWide(pagePath_);
  if (const FoundExecutable browser = findExecutable(pagePath_, ""); browser.found()) {
    const std::wstring address = toWide(fileAddress(pagePath_) + "#" + anchor);
    if (shellSucceeded(ShellExecuteW(owner, L"open", toWide(browser.executable).c_str(),
                                     address.c_str(), nullptr, SW_SHOWNORMAL))) {
      return;
    }
  }
  if (shellSucceeded(
          ShellExecuteW(owner, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL))) {
    return;
  }
  std::string text = helpPageMissingText(pagePath_);
  showMessageBox(owner, text.c_str(), "Help", MB_OK | MB_ICONINFORMATION);
}

void Help::quit(HWND owner) {
  if (viewerUsed_) WinHelpW(owner, toWide(helpFilePath_).c_str(), HELP_QUIT, 0);
}

}  // namespace kv
