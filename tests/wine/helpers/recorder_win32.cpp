// A program for the tests to schedule: it appends one line to the record
// file (record_file_win32.h) with its command line parameters, its working
// directory and the show command it was started with, then ends. With
// KV_RECORD_TIME set, the line also carries the moment it started,
// " at=<milliseconds since 1970, UTC>", for the soak run.
#include <windows.h>

#include <string>

#include "record_file_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR parameters, int) {
  const std::string stamp = kvhelper::startStamp();
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, directory);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

  const std::string line = "params=[" + std::string(parameters) + "] dir=[" + directory +
                           "] show=" + std::to_string(show) + stamp + "\r\n";
  return kvhelper::appendRecordLine(line) ? 0 : 1;
}
