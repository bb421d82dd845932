#include "editor/entry_edit.h"

namespace kv {

EntryEdit::~EntryEdit() {
  if (store_.heldOut()) putBack(store_);
}

std::optional<ScheduleEntry> EntryEdit::heldEntry() const {
  const EntryLine* held = store_.heldOut();
  if (!held) return std::nullopt;
  return parseEntryLine(*held);
}

bool EntryEdit::finish(const std::optional<ScheduleEntry>& accepted) noexcept {
  if (accepted && fileAcceptedEntry(store_, *accepted)) return true;
  // Cancel, or an accepted entry there was no memory to file: the held one
  // goes back. Add's Cancel holds none, and that is no failure.
  const bool back = putBack(store_);
  failed_ = accepted.has_value() || !back;
  return false;
}

}  // namespace kv
