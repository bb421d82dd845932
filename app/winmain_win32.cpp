// Kivro's entry point.
#include <windows.h>

#include "app/command_line.h"
#include "app/kivro_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  kv::Kivro kivro(instance);
  if (!kivro.start(kv::scheduleFileArgument(kv::commandLineTail(GetCommandLineA())), showCommand))
    return 0;
  return kivro.run();
}
