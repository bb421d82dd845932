// The file commands: New, Open, Save, Save As, and loading a schedule file.
#pragma once

#include <string>

namespace kv {

class Kivro;

// Reads the file into the store, bringing every entry up to date, and sets
// the title. On failure tells the user and leaves the store, the title and
// the current file name as they were. The caller shows the loaded schedule.
bool loadScheduleFile(Kivro& kivro, const std::string& fileName);

// The file named on the command line at start-up: it becomes the current
// file name (one too long for its room is refused), is loaded and shown.
void openScheduleFile(Kivro& kivro, const std::string& fileName);

void newSchedule(Kivro& kivro);
void openSchedule(Kivro& kivro);
// Saves to the current file, or asks for a name when there is none.
void saveSchedule(Kivro& kivro);
void saveScheduleAs(Kivro& kivro);

}  // namespace kv
