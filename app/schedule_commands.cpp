#include "app/schedule_commands.h"

#include "schedule/utf8_text.h"

namespace kv {

bool deleteSelectedAfterAsking(ScheduleStore& store, MessageBoxes& boxes) {
  const std::optional<int> row = store.selectedRow();
  if (!row) return false;
  const BoxAnswer answer = boxes.show(
      {kDeleteQuestion, "Confirmation", BoxButtons::YesNo, BoxIcon::None, BoxModality::TaskOwned});
  if (answer != BoxAnswer::Yes) return false;
  store.removeRowSelectingNext(*row);
  // A deletion is a change like any other: the question at Exit, New and
  // Open protects it, so the entry does not come back with the next load.
  store.markChanged();
  return true;
}

bool acceptDroppedPath(const std::string& path, MessageBoxes& boxes) {
  if (utf16Length(path) <= kMaxText) return true;
  boxes.show({"The file " + path + " cannot be scheduled: its name is longer than " +
                  std::to_string(kMaxText) + " characters.",
              "KV", BoxButtons::Ok, BoxIcon::Exclamation});
  return false;
}

}  // namespace kv
