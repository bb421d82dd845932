// Help: the help file "KV.HLP" with the help viewer where both are there,
// and otherwise Kivro's own help page, opened in the web browser. Today's
// Windows has no help viewer for such files, so the page is what most users
// see; it ships beside kv.exe.
#pragma once

#include <windows.h>

#include <string>

#include "app/help_page.h"

namespace kv {

inline constexpr const char* kHelpFileName = "KV.HLP";
inline constexpr const char* kHelpPageName = "kivro-help.html";

class Help {
 public:
  explicit Help(HINSTANCE instance);

  void show(HWND owner, HelpTopic topic);
  // Tells the help viewer to quit, only when it was used.
  void quit(HWND owner);

  const std::string& pagePath() const { return pagePath_; }

 private:
  void showInViewer(HWND owner, HelpTopic topic);
  void showPage(HWND owner, HelpTopic topic);

  std::string helpFilePath_;
  std::string pagePath_;
  bool viewerUsed_ = false;
};

}  // namespace kv
