// One scheduler per schedule file. Two copies running the same file would
// start every entry twice, and the one that saves last would overwrite the
// other; so a copy started with a file that a running copy holds hands over
// to it: the running copy shows its window again (also one that hid itself)
// and the new one ends.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

class MainWindowActions;

// Asks the running copies of Kivro whether one holds the schedule file; the
// one that does comes back to the front. True when one did.
bool handOverToRunningCopy(const std::string& fileName);

// The main window's answer to another copy's question (WM_COPYDATA): TRUE
// when it holds the file (held, empty when untitled), after the window
// came back.
BOOL answerHoldsFileQuery(const std::string& held, MainWindowActions& window,
                          const COPYDATASTRUCT* query);

}  // namespace kv
