// Keeps Wine's desktop process busy for a whole test run: a hidden pop-up
// window with a message loop. Without it every GUI test pays for the desktop
// process outliving the last program by a second.
#include <windows.h>

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
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
