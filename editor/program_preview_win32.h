// The entry dialog's program icon preview and its Browse for a program.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// Draws the first icon of what the command line starts (the program, or the
// application of a document) over the dialog's icon area; with none, only
// the window colour.
void drawProgramIcon(HWND dialog, HINSTANCE instance, const std::string& commandLine,
                     const std::string& workingDirectory);

// The full path the user chose in the Browse dialog, or "" when nothing was
// chosen (cancelled, or a path longer than a command line holds).
std::string browseForProgram(HWND dialog);

}  // namespace kv
