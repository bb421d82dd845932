#include "tool/console_text_win32.h"

#include <windows.h>

#include <string>

namespace kv::tool {
namespace {

std::wstring wideOf(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Characters the code page lacks become its default character.
void appendNarrow(std::string& out, std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(length));
  WideCharToMultiByte(codePage, 0, wide.data(), size, out.data() + at, length, nullptr, nullptr);
}

// Every ANSI code page keeps the ASCII control bytes as they are, and 1252
// makes its undefined bytes C1 control characters, so the escapes are
// found in the wide text.
std::string shownIn(std::string_view ansiText, UINT codePage) {
  const std::wstring wide = wideOf(ansiText, CP_ACP);
  std::string out;
  std::size_t run = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto c = static_cast<std::uint32_t>(wide[i]);
    if (!isEscapedCharacter(c)) continue;
    appendNarrow(out, std::wstring_view(wide).substr(run, i - run), codePage);
    appendEscaped(out, c);
    run = i + 1;
  }
  appendNarrow(out, std::wstring_view(wide).substr(run), codePage);
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
    std::string out;
    appendNarrow(out, wideOf(utf8Line, CP_UTF8), codePage);
    return out;
  };
}

std::string utf8FromAnsi(std::string_view ansiText) {
  std::string utf8;
  appendNarrow(utf8, wideOf(ansiText, CP_ACP), CP_UTF8);
  return utf8;
}

}  // namespace kv::tool
