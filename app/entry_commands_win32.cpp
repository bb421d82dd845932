#include "app/entry_commands_win32.h"

#include <string>

#include "app/dialog_box_win32.h"
#include "app/command_parts_win32.h"
#include "app/schedule_commands.h"
#include "editor/entry_dialog_win32.h"
#include "editor/entry_edit.h"
#include "engine/calendar.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

EntryDialogValues dialogValues(const CommandParts& parts, EditorMode mode, EntryForm form) {
  EntryDialogValues values;
  values.mode = mode;
  values.form = std::move(form);
  values.associationWarning = parts.settings.associationWarning;
  values.languageCode = parts.texts.languageCode;
  values.showHelp = [&parts](HWND dialog) { parts.help.show(dialog, HelpTopic::EntryDialog); };
  values.programDirectory = parts.document.programDirectory;
  return values;
}

// Shows the dialog, and the edit files what it accepted or puts its entry
// back.
void askAndFile(const CommandParts& parts, EntryEdit& edit, const EntryDialogValues& values) {
  const EntryDialogResult result = askEntry(parts.instance, parts.mainWindow, values);
  if (!result.shown) reportDialogNotCreated(parts.mainWindow, IDD_ENTRY);
  std::string& programDirectory = parts.document.programDirectory;
  programDirectory = result.programDirectory;
  if (edit.finish(result.entry) && result.takesProgramDir) programDirectory.clear();
  if (edit.failed()) {
    parts.boxes.show({kNotFiledText, "KV", BoxButtons::Ok, BoxIcon::Exclamation});
  }
}

void addEntryFor(const CommandParts& parts, const std::string& droppedPath) {
  EntryEdit edit(parts.document.store);
  askAndFile(
      parts, edit,
      dialogValues(parts, EditorMode::Add, formForAdd(toLocalTime(currentTime()), droppedPath)));
}

// The drop is released however the dialogs end, running out of memory
// included.
class DropRelease {
 public:
  explicit DropRelease(HDROP drop) : drop_(drop) {}
  ~DropRelease() { DragFinish(drop_); }
  DropRelease(const DropRelease&) = delete;
  DropRelease& operator=(const DropRelease&) = delete;

 private:
  HDROP drop_;
};

std::string droppedPath(HDROP drop, UINT index) {
  const UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  DragQueryFileW(drop, index, path.data(), length + 1);
  path.resize(length);
  return toUtf8(path);
}

}  // namespace

void addEntry(const CommandParts& parts) {
  addEntryFor(parts, "");
}

void editSelectedEntry(const CommandParts& parts) {
  EntryEdit edit(parts.document.store);
  if (!edit.holdSelected()) return;
  askAndFile(parts, edit, dialogValues(parts, EditorMode::Edit, formForEdit(*edit.heldEntry())));
}

void addDroppedFiles(const CommandParts& parts, HDROP drop) {
  const DropRelease release(drop);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const std::string path = droppedPath(drop, i);
    if (acceptDroppedPath(path, parts.boxes)) addEntryFor(parts, path);
  }
}

}  // namespace kv
