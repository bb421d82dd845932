// One entry on its way through the Add/Edit dialog: the one owner of an
// entry held out of the schedule while its dialog is open, which decides,
// in one place, whether what the dialog accepted is filed or the held entry
// goes back. However the command ends, running out of memory or an
// exception included, the schedule is whole.
#pragma once

#include <optional>

#include "editor/entry_filing.h"
#include "schedule/schedule_store.h"

namespace kv {

// What the user is told when an entry could not be filed.
inline constexpr const char* kNotFiledText =
    "There is not enough memory to file the entry. The schedule is as it was.";

class EntryEdit {
 public:
  // Add: nothing is held out.
  explicit EntryEdit(ScheduleStore& store) : store_(store) {}
  ~EntryEdit();
  EntryEdit(const EntryEdit&) = delete;
  EntryEdit& operator=(const EntryEdit&) = delete;

  // Edit: holds the selected entry out of the rows, so that no due check
  // starts it while the dialog is open; a save meanwhile still writes it.
  // False without a selection.
  bool holdSelected() { return takeOutSelected(store_); }
  // The entry held out, as its line reads; none for Add.
  std::optional<ScheduleEntry> heldEntry() const;

  // Ends the edit with what the dialog accepted (nothing after Cancel): the
  // accepted entry is filed, in the place of one held out, or the held one
  // goes back as it was. Returns whether the accepted entry was filed.
  bool finish(const std::optional<ScheduleEntry>& accepted) noexcept;
  // Whether the user is to be told kNotFiledText: memory ran out on the
  // way, and the schedule is as it was (an entry that could not go back
  // stays held, so that a save still writes it).
  bool failed() const { return failed_; }

 private:
  ScheduleStore& store_;
  bool failed_ = false;
};

}  // namespace kv
