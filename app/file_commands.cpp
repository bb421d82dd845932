#include "app/file_commands.h"

#include <new>

#include "engine/recurrence.h"
#include "schedule/schedule_file.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

void warnNotLoaded(MessageBoxes& boxes, const std::string& text) {
  boxes.show({text, "Warning", BoxButtons::Ok, BoxIcon::None, BoxModality::TaskUnowned});
}

std::string notFound(const std::string& fileName) {
  return "|" + fileName + "| not found.";
}

std::string notRead(const std::string& fileName) {
  return "|" + fileName + "| could not be read.";
}

std::string tooLarge(const std::string& fileName) {
  return "|" + fileName + "| is too large to open: there is not enough memory for its entries.";
}

std::string whyNotRead(ReadStatus status, const std::string& fileName) {
  switch (status) {
    case ReadStatus::NotFound:
      return notFound(fileName);
    case ReadStatus::TooLarge:
      return tooLarge(fileName);
    default:
      return notRead(fileName);
  }
}

// The load, and why it did not take place: Ok once the store holds the file.
ReadStatus loadScheduleFile(ScheduleDocument& document, const std::string& fileName,
                            const ScheduleFiles& files, MessageBoxes& boxes) {
  const Time loadTime = files.clock();
  if (utf16Length(fileName) > kMaxFileName) {
    warnNotLoaded(boxes, notFound(fileName));
    return ReadStatus::NotFound;
  }
  FileContents file = files.read(fileName);
  if (file.status != ReadStatus::Ok) {
    warnNotLoaded(boxes, whyNotRead(file.status, fileName));
    return file.status;
  }
  // The store changes only once the whole file has been taken in. The
  // file's text goes before the store takes the lines, so that a large file
  // is never held twice over (a file of an earlier version is held as its
  // bytes and its text only while it is converted).
  try {
    const HandledThrough handled =
        files.handledStarts ? files.handledStarts(fileName) : HandledThrough{};
    ScheduleFileText text = scheduleFileText(std::move(file.bytes), files.legacyText);
    PackedLines lines = catchUpScheduleFile(text.text, files.versionText, loadTime, files.clock(),
                                            files.missedStarts, handled);
    std::string().swap(text.text);
    document.store.replaceLines(std::move(lines));
  } catch (const std::bad_alloc&) {
    warnNotLoaded(boxes, tooLarge(fileName));
    return ReadStatus::TooLarge;
  }
  document.store.clearChanged();
  return ReadStatus::Ok;
}

}  // namespace

bool loadSchedule(ScheduleDocument& document, const std::string& fileName,
                  const ScheduleFiles& files, MessageBoxes& boxes) {
  return loadScheduleFile(document, fileName, files, boxes) == ReadStatus::Ok;
}

bool openNamedSchedule(ScheduleDocument& document, const std::string& fileName,
                       const ScheduleFiles& files, MessageBoxes& boxes) {
  const ReadStatus status = loadScheduleFile(document, fileName, files, boxes);
  const bool keepsName = status == ReadStatus::Ok ||
                         (status == ReadStatus::NotFound && utf16Length(fileName) <= kMaxFileName);
  document.fileName = keepsName ? fileName : std::string();
  return status == ReadStatus::Ok;
}

bool showScheduleRows(ScheduleDocument& document, const RowFormatter& format, MessageBoxes& boxes) {
  try {
    document.store.rebuildVisibleList(format);
    return true;
  } catch (const std::bad_alloc&) {
    document.store.clear();
    document.store.clearChanged();
    warnNotLoaded(boxes, tooLarge(document.fileName));
    document.fileName.clear();
    return false;
  }
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
