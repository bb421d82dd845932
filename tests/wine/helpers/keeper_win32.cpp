// Keeps Wine's desktop process busy for a whole test run: a hidden pop-up
// window with a message loop. Without it every GUI test pays for the desktop
// process outliving the last program by a second. Once its window exists
// (and with it the desktop) it creates the file named by KV_KEEPER_READY, so
// that the tests start only then: in a new prefix, programs that start
// while the desktop is still being made can hang at their exit.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "KivroTestKeeper";
  if (!RegisterClassA(&wc)) return 1;
  if (!CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                       nullptr)) {
    return 1;
  }
  if (const char* ready = std::getenv("KV_KEEPER_READY"); ready && *ready) {
    HANDLE file = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
