// The commands that open the entry dialog: Add, Edit and files dropped on
// the main window. Each takes an edited entry out, files what the dialog
// accepted or puts the entry back, in one place.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace kv {

struct CommandParts;

void addEntry(const CommandParts& parts);
void editSelectedEntry(const CommandParts& parts);
// One Add dialog per dropped file, in order; the drop is released after,
// whatever happens on the way.
void addDroppedFiles(const CommandParts& parts, HDROP drop);

}  // namespace kv
