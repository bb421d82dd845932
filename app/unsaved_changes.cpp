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

SaveAnswer askToSave(MessageBoxes& boxes, const SaveQuestion& question) {
  switch (boxes.show({kSaveChangesQuestion, question.caption, BoxButtons::YesNoCancel,
                      BoxIcon::None, question.modality})) {
    case BoxAnswer::Yes:
      return SaveAnswer::Yes;
    case BoxAnswer::No:
      return SaveAnswer::No;
    default:
      return SaveAnswer::Cancel;
  }
}

Settled settleUnsavedChanges(ScheduleStore& store, MessageBoxes& boxes,
                             const SaveQuestion& question, const std::function<void()>& save) {
  return settleUnsavedChanges(UnsavedChanges{
      [&store] { return store.changed(); },
      [&boxes, &question] { return askToSave(boxes, question); },
      save,
      [&store] { store.clearChanged(); },
  });
}

}  // namespace kv
