#include "editor/entry_filing.h"

#include <new>

namespace kv {

std::optional<SavedRowPair> takeOutSelected(ScheduleStore& store) {
  const std::optional<int> row = store.selectedRow();
  if (!row) return std::nullopt;
  const EntryLine& line = store.line(static_cast<std::size_t>(*row));
  SavedRowPair saved{line, store.displayRow(line)};
  store.removeRow(*row);
  try {
    store.reloadFirstDue();
  } catch (const std::bad_alloc&) {
    putBack(store, saved);
    throw;
  }
  return saved;
}

bool putBack(ScheduleStore& store, const SavedRowPair& saved) noexcept {
  try {
    store.restoreRowPair(saved.line, saved.displayRow);
    store.reloadFirstDue();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool fileAcceptedEntry(ScheduleStore& store, const ScheduleEntry& entry,
                       const SavedRowPair* underEdit) noexcept {
  try {
    const int row = store.fileEntry(entry);
    try {
      store.reloadFirstDue();
    } catch (const std::bad_alloc&) {
      // The first-due entry is still that of the store without the new row.
      store.removeRow(row);
      throw;
    }
    store.markChanged();
    return true;
  } catch (const std::bad_alloc&) {
    if (underEdit) putBack(store, *underEdit);
    return false;
  }
}

}  // namespace kv
