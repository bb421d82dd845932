// Kivro's entry point.
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/kivro_win32.h"
#include "app/single_instance_win32.h"
#include "schedule/code_pages_win32.h"

// The command line comes from GetCommandLineW: the one WinMain is given is
// in the ANSI code page, which cannot name every file.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const std::string fileName =
      kv::scheduleFileArgument(kv::commandLineTail(kv::toUtf8(GetCommandLineW())));
  // A schedule that a running copy holds is that copy's to run.
  if (!fileName.empty() && kv::handOverToRunningCopy(fileName)) return 0;
  kv::Kivro kivro(instance);
  if (!kivro.start(fileName, showCommand)) return 0;
  return kivro.run();
}
