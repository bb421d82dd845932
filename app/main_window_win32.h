// The main window procedure and the commands it carries out.
#pragma once

#include <windows.h>

namespace kv {

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kv
