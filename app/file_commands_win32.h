// The file commands: New, Open, Save, Save As, and the schedule named on the
// command line at start-up.
#pragma once

#include <string>

namespace kv {

class Kivro;

// The file named on the command line at start-up: it becomes the current
// file name (one too long for its room is refused, and so is one that
// exists but cannot be read), is loaded and shown.
void openScheduleFile(Kivro& kivro, const std::string& fileName);

void newSchedule(Kivro& kivro);
void openSchedule(Kivro& kivro);
// Saves to the current file, or asks for a name when there is none.
void saveSchedule(Kivro& kivro);
void saveScheduleAs(Kivro& kivro);

}  // namespace kv
