// The frame's own dialogs: Settings and About, and the report of a dialog
// that cannot be created.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kv {

// Runs a modal dialog owned by `owner`. When it cannot be created, says so
// in a system-modal box whose text is the template's name; returns -1 then.
INT_PTR runDialog(HINSTANCE instance, HWND owner, const char* templateName, DLGPROC procedure,
                  LPARAM parameter);

// Tells the user that a dialog could not be created.
void reportDialogNotCreated(HWND owner, const char* templateName);

// The Settings dialog, showing Time; the number typed on OK (0 for a text
// that is not a number), nothing on Cancel.
std::optional<std::uint32_t> askCheckInterval(HINSTANCE instance, HWND owner, std::uint32_t time);

// The About box with the product name and the version text.
void showAboutBox(HINSTANCE instance, HWND owner, const std::string& productName,
                  const std::string& versionText);

}  // namespace kv
