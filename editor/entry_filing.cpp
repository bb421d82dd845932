#include "editor/entry_filing.h"

#include <new>

namespace kv {

bool takeOutSelected(ScheduleStore& store) {
  const std::optional<int> row = store.selectedRow();
  return row && store.holdOut(*row);
}

bool putBack(ScheduleStore& store) noexcept {
  try {
    store.restoreHeldOut();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry) noexcept {
  try {
    store.fileEntry(entry);
  } catch (const std::bad_alloc&) {
    putBack(store);
    return false;
  }
  store.releaseHeldOut();
  store.markChanged();
  return true;
}

}  // namespace kv
