// The file commands: New, Open, Save, Save As, and the schedule named on the
// command line at start-up.
#pragma once

#include <string>

namespace kv {

struct CommandParts;

// The file named on the command line at start-up: it becomes the current
// file name (one too long for its room is refused, and so is one that
// exists but cannot be read), is loaded and shown.
void openScheduleFile(const CommandParts& parts, const std::string& fileName);

void newSchedule(const CommandParts& parts);
void openSchedule(const CommandParts& parts);
// Saves to the current file, or asks for a name when there is none.
void saveSchedule(const CommandParts& parts);
void saveScheduleAs(const CommandParts& parts);

}  // namespace kv
