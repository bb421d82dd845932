#include "tool/console_text_win32.h"

#include <windows.h>

#include <string>

#include "schedule/code_pages_win32.h"

namespace kv::tool {
namespace {

// Every ANSI code page keeps the ASCII control bytes as they are, and 1252
// makes its undefined bytes C1 control characters, so the escapes are
// found in the wide text.
std::string shownIn(std::string_view ansiText, UINT codePage) {
  const std::wstring wide = wideFrom(ansiText, CP_ACP);
  std::string out;
  std::size_t run = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(wide[i]);
    if (!isEscapedCharacter(c)) continue;
    out += narrowFrom(std::wstring_view(wide).substr(run, i - run), codePage);
    appendEscaped(out, c);
    run = i + 1;
  }
  out += narrowFrom(std::wstring_view(wide).substr(run), codePage);
  return out;
}

bool outputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace

TerminalText makeWin32TerminalText() {
  const UINT codePage = outputIsConsole() ? GetConsoleOutputCP() : CP_UTF8;
  return [codePage](std::string_view ansiText) { return shownIn(ansiText, codePage); };
}

Utf8Output makeWin32Utf8Output() {
  if (!outputIsConsole()) return {};
  const UINT codePage = GetConsoleOutputCP();
  return [codePage](std::string_view utf8Line) {
    return narrowFrom(wideFrom(utf8Line, CP_UTF8), codePage);
  };
}

std::string utf8FromAnsi(std::string_view ansiText) {
  return narrowFrom(wideFrom(ansiText, CP_ACP), CP_UTF8);
}

}  // namespace kv::tool
