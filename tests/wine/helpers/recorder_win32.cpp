// A program for the tests to schedule: it appends one line to the record
// file (record_file_win32.h) with its command line parameters, its working
// directory and the show command it was started with, then ends. The texts
// come from the wide functions and are written in UTF-8, so that a folder or
// a parameter beyond the ANSI code page is recorded as it is. With
// KV_RECORD_TIME set, the line also carries the moment it started,
// " at=<milliseconds since 1970, UTC>", for the soak run.
#include <windows.h>

#include <string>

#include "record_file_win32.h"

namespace {

std::string utf8Of(const wchar_t* text, int length = -1) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), size, nullptr, nullptr);
  if (length < 0 && !utf8.empty()) utf8.pop_back();  // the zero
  return utf8;
}

// What WinMain is given as its parameters: the command line after the
// program's name (quoted or not) and the blanks that follow it.
const wchar_t* parametersOf(const wchar_t* line) {
  if (*line == L'"') {
    for (++line; *line && *line != L'"'; ++line) {
    }
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string stamp = kvhelper::startStamp();
  wchar_t directory[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, directory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

  const std::string line = "params=[" + utf8Of(parametersOf(GetCommandLineW())) + "] dir=[" +
                           utf8Of(directory) + "] show=" + std::to_string(show) + stamp + "\r\n";
  return kvhelper::appendRecordLine(line) ? 0 : 1;
}
