#include "app/entry_commands_win32.h"

#include <string>

#include "app/dialog_box_win32.h"
#include "app/kivro_win32.h"
#include "app/schedule_commands.h"
#include "editor/entry_dialog_win32.h"
#include "editor/entry_filing.h"
#include "engine/calendar.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr const char* kNotFiledText =
    "There is not enough memory to file the entry. The schedule is as it was.";

EntryDialogValues dialogValues(Kivro& kivro, EditorMode mode, EntryForm form) {
  EntryDialogValues values;
  values.mode = mode;
  values.form = std::move(form);
  values.associationWarning = kivro.settings().associationWarning;
  values.languageCode = kivro.texts().languageCode;
  values.showHelp = [&kivro](HWND dialog) { kivro.help().show(dialog, HelpTopic::EntryDialog); };
  return values;
}

// Shows the dialog and files what it accepted. An entry held out for
// editing takes the accepted entry's place, or goes back after Cancel.
void askAndFile(Kivro& kivro, const EntryDialogValues& values) {
  ScheduleDocument& document = kivro.document();
  ScheduleStore& store = document.store;
  const EntryDialogResult result =
      askEntry(kivro.instance(), kivro.mainWindow(), values, document.programDirectory);
  if (!result.shown) reportDialogNotCreated(kivro.mainWindow(), IDD_ENTRY);
  const bool filed = result.entry && fileAcceptedEntry(store, *result.entry);
  if (filed) {
    if (result.takesProgramDir) document.programDirectory.clear();
    return;
  }
  const bool back = putBack(store);
  if (result.entry || !back) {
    kivro.boxes().show({kNotFiledText, "KV", BoxButtons::Ok, BoxIcon::Exclamation});
  }
}

void addEntryFor(Kivro& kivro, const std::string& droppedPath) {
  askAndFile(kivro, dialogValues(kivro, EditorMode::Add,
                                 formForAdd(toLocalTime(currentTime()), droppedPath)));
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
  const UINT length = DragQueryFileA(drop, index, nullptr, 0);
  std::string path(length + 1, '\0');
  DragQueryFileA(drop, index, path.data(), length + 1);
  path.resize(length);
  return path;
}

}  // namespace

void addEntry(Kivro& kivro) {
  addEntryFor(kivro, "");
}

void editSelectedEntry(Kivro& kivro) {
  ScheduleStore& store = kivro.document().store;
  if (!takeOutSelected(store)) return;
  // From here the entry is out of the rows (no due check starts it) but a
  // save made meanwhile still writes it. However this ends, running out of
  // memory included, it ends filed or back in its row.
  struct BackUnlessFiled {
    ScheduleStore& store;
    ~BackUnlessFiled() {
      if (store.heldOut()) putBack(store);
    }
  } back{store};
  askAndFile(kivro,
             dialogValues(kivro, EditorMode::Edit, formForEdit(parseEntryLine(*store.heldOut()))));
}

void addDroppedFiles(Kivro& kivro, HDROP drop) {
  const DropRelease release(drop);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const std::string path = droppedPath(drop, i);
    if (acceptDroppedPath(path, kivro.boxes())) addEntryFor(kivro, path);
  }
}

}  // namespace kv
