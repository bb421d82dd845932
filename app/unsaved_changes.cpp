#include "app/unsaved_changes.h"

namespace kv {

Settled settleUnsavedChanges(const UnsavedChanges& changes) {
  if (!changes.changed()) return Settled::Proceed;
  switch (changes.ask()) {
    case SaveAnswer::Yes:
      changes.save();
      // A save that did not happen (Save As cancelled, a failed write)
      // leaves the flag set: the changes exist nowhere else.
      return changes.changed() ? Settled::NotSaved : Settled::Proceed;
    case SaveAnswer::No:
      changes.forget();
      return Settled::Proceed;
    case SaveAnswer::Cancel:
      break;
  }
  return Settled::Cancelled;
}

}  // namespace kv
