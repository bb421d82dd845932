#include "app/entry_commands_win32.h"

#include <string>

#include "app/dialog_box_win32.h"
#include "app/kivro_win32.h"
#include "app/schedule_commands.h"
#include "editor/entry_dialog_win32.h"
#include "editor/entry_edit.h"
#include "engine/calendar.h"
#include "resources/resource_ids.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

EntryDialogValues dialogValues(Kivro& kivro, EditorMode mode, EntryForm form) {
  EntryDialogValues values;
  values.mode = mode;
  values.form = std::move(form);
  values.associationWarning = kivro.settings().associationWarning;
  values.languageCode = kivro.texts().languageCode;
  values.showHelp = [&kivro](HWND dialog) { kivro.help().show(dialog, HelpTopic::EntryDialog); };
  values.programDirectory = kivro.document().programDirectory;
  return values;
}

// Shows the dialog, and the edit files what it accepted or puts its entry
// back.
void askAndFile(Kivro& kivro, EntryEdit& edit, const EntryDialogValues& values) {
  const EntryDialogResult result = askEntry(kivro.instance(), kivro.mainWindow(), values);
  if (!result.shown) reportDialogNotCreated(kivro.mainWindow(), IDD_ENTRY);
  std::string& programDirectory = kivro.document().programDirectory;
  programDirectory = result.programDirectory;
  if (edit.finish(result.entry) && result.takesProgramDir) programDirectory.clear();
  if (edit.failed()) {
    kivro.boxes().show({kNotFiledText, "KV", BoxButtons::Ok, BoxIcon::Exclamation});
  }
}

void addEntryFor(Kivro& kivro, const std::string& droppedPath) {
  EntryEdit edit(kivro.document().store);
  askAndFile(
      kivro, edit,
      dialogValues(kivro, EditorMode::Add, formForAdd(toLocalTime(currentTime()), droppedPath)));
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

void addEntry(Kivro& kivro) {
  addEntryFor(kivro, "");
}

void editSelectedEntry(Kivro& kivro) {
  EntryEdit edit(kivro.document().store);
  if (!edit.holdSelected()) return;
  askAndFile(kivro, edit, dialogValues(kivro, EditorMode::Edit, formForEdit(*edit.heldEntry())));
}

void addDroppedFiles(Kivro& kivro, HDROP drop) {
  const DropRelease release(drop);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const std::string path = droppedPath(drop, i);
    if (acceptDroppedPath(path, kivro.boxes())) addEntryFor(kivro, path);
  }
}

}  // namespace kv
