// The texts of a schedule and of the history for the console kvtool.exe
// writes to.
#pragma once

#include <string>
#include <string_view>

#include "tool/terminal_text.h"

namespace kv::tool {

// Texts in the ANSI code page, converted to the console's output code page
// when standard output is a console, and to UTF-8 when it is a file or a
// pipe, as the native kvtool writes them.
TerminalText makeWin32TerminalText();

// Lines of UTF-8 (the history's), converted to the console's output code
// page when standard output is a console, and written as they are when it
// is a file or a pipe.
Utf8Output makeWin32Utf8Output();

// A text in the ANSI code page as UTF-8, as kv.exe writes its records.
std::string utf8FromAnsi(std::string_view ansiText);

}  // namespace kv::tool
