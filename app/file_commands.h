// Loading, opening and saving a schedule file, apart from Windows: how the
// document changes, and the boxes that tell of a failure.
#pragma once

#include <functional>
#include <string>

#include "app/schedule_document.h"
#include "engine/recurrence.h"
#include "schedule/file_contents.h"
#include "schedule/message_boxes.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"

namespace kv {

// The platform's part in a file command.
struct ScheduleFiles {
  FileReader read;
  FileWriter write;
  std::string versionText;      // of the header, "3.0"
  std::function<Time()> clock;  // the current time
  // What a load does with starts that passed while the schedule was not
  // loaded (the MissedStarts setting).
  MissedStarts missedStarts = MissedStarts::Skip;
  // The starts of a schedule's entries that Kivro dealt with already, for
  // the file of that name; none when not given.
  std::function<HandledThrough(const std::string& fileName)> handledStarts = {};
  // How a file of an earlier version, not in UTF-8, is read: in the ANSI
  // code page of the machine, which western Windows has as 1252.
  LegacyTextReader legacyText = utf8FromWindows1252;
};

// Reads the file into the store, every entry brought up to date, and clears
// the changed flag. On failure it says so (no owner, "Warning") and leaves
// the store as it was. The caller shows the loaded schedule and its title.
bool loadSchedule(ScheduleDocument& document, const std::string& fileName,
                  const ScheduleFiles& files, MessageBoxes& boxes);

// The schedule named at start-up: loaded, or, when no such file exists yet,
// kept as the current file name that a first Save writes to. A file that
// exists but cannot be read leaves the schedule untitled, so that no Save
// writes over it. True when it was loaded.
bool openNamedSchedule(ScheduleDocument& document, const std::string& fileName,
                       const ScheduleFiles& files, MessageBoxes& boxes);

// Fills the visible list with the store's rows, with `format` for each. When
// memory runs out on the way the schedule is emptied and left untitled
// instead, and the user told that the file is too large: a list short of
// rows would no longer match the store row for row.
bool showScheduleRows(ScheduleDocument& document, const RowFormatter& format, MessageBoxes& boxes);

// The file Open chose becomes the current file name and is loaded. When it
// cannot be read the name goes back, so that a later Save does not write
// the old schedule under the new name.
bool openChosenSchedule(ScheduleDocument& document, const std::string& chosen,
                        const ScheduleFiles& files, MessageBoxes& boxes);

// Writes the store to the current file and clears the changed flag. On
// failure it says "Cannot write to NAME." and the flag stays.
bool saveToCurrentFile(ScheduleDocument& document, const ScheduleFiles& files, MessageBoxes& boxes);

}  // namespace kv
