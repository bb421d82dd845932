#include "app/file_commands.h"

#include <new>

#include "engine/recurrence.h"
#include "schedule/schedule_file.h"

namespace kv {
namespace {

void warnNotLoaded(MessageBoxes& boxes, const std::string& text) {
  boxes.show({text, "Warning", BoxButtons::Ok, BoxIcon::None, BoxModality::TaskUnowned});
}

std::string notFound(const std::string& fileName) {
  return "|" + fileName + "| not found.";
}

}  // namespace

bool loadSchedule(ScheduleDocument& document, const std::string& fileName,
                  const ScheduleFiles& files, MessageBoxes& boxes) {
  const Time loadTime = files.clock();
  if (fileName.size() > kMaxFileName) {
    warnNotLoaded(boxes, notFound(fileName));
    return false;
  }
  const FileContents file = files.read(fileName);
  if (file.status != ReadStatus::Ok) {
    warnNotLoaded(boxes, file.status == ReadStatus::NotFound
                             ? notFound(fileName)
                             : "|" + fileName + "| could not be read.");
    return false;
  }
  // The store changes only once the whole file has been taken in.
  try {
    document.store.replaceLines(
        catchUpLoadedEntries(decodeScheduleFile(file.bytes, files.versionText), loadTime,
                             files.clock(), files.missedStarts));
  } catch (const std::bad_alloc&) {
    warnNotLoaded(boxes, "|" + fileName + "| could not be read.");
    return false;
  }
  document.store.clearChanged();
  return true;
}

bool openChosenSchedule(ScheduleDocument& document, const std::string& chosen,
                        const ScheduleFiles& files, MessageBoxes& boxes) {
  document.openDialogField = chosen;
  std::string previous = document.fileName;
  document.fileName = chosen;
  if (loadSchedule(document, chosen, files, boxes)) return true;
  document.fileName = std::move(previous);
  return false;
}

bool saveToCurrentFile(ScheduleDocument& document, const ScheduleFiles& files,
                       MessageBoxes& boxes) {
  if (!files.write(document.fileName, encodeScheduleFile(document.store, files.versionText))) {
    boxes.show(
        {"Cannot write to " + document.fileName + ".", "", BoxButtons::Ok, BoxIcon::Exclamation});
    return false;
  }
  document.store.clearChanged();
  return true;
}

}  // namespace kv
