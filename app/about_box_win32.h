// The About box: the product name, the version and the program's icon.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

void showAboutBox(HINSTANCE instance, HWND owner, const std::string& productName,
                  const std::string& versionText);

}  // namespace kv
