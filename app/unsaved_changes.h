// The one way to ask "save changes?" before unsaved changes could be lost:
// closing the window, ending the Windows session, New and Open.
#pragma once

#include <functional>

#include "schedule/message_boxes.h"
#include "schedule/schedule_store.h"

namespace kv {

inline constexpr const char* kSaveChangesQuestion = "Changes have been made.  Save changes?";

enum class SaveAnswer { Yes, No, Cancel };

// What the guarded action may do after the question.
enum class Settled {
  Proceed,    // nothing to save, saved, or the user chose to lose the changes
  Cancelled,  // the user said Cancel
  NotSaved,   // the user said Yes, but the save did not take place
};

// The schedule's side of the question.
struct UnsavedChanges {
  std::function<bool()> changed;
  std::function<SaveAnswer()> ask;
  std::function<void()> save;    // Save, asking for a name when there is none
  std::function<void()> forget;  // clears the changed flag
};

// Asks only while the schedule is changed. Yes saves at once and proceeds
// only once the changes are saved; No forgets them.
Settled settleUnsavedChanges(const UnsavedChanges& changes);

// Where the question is asked decides its caption and owner: closing the
// window and the end of the Windows session ask with no owner, New and
// Open over the main window.
struct SaveQuestion {
  const char* caption;
  BoxModality modality;
};
inline constexpr SaveQuestion kSaveQuestionOnClosing{"KV", BoxModality::TaskUnowned};
inline constexpr SaveQuestion kSaveQuestionOnNew{"KV", BoxModality::Owned};
inline constexpr SaveQuestion kSaveQuestionOnOpen{"NOTICE", BoxModality::Owned};

// The question in a box with Yes, No and Cancel.
SaveAnswer askToSave(MessageBoxes& boxes, const SaveQuestion& question);

// The question about the store's changes; `save` saves them (asking for a
// name when there is none).
Settled settleUnsavedChanges(ScheduleStore& store, MessageBoxes& boxes,
                             const SaveQuestion& question, const std::function<void()>& save);

}  // namespace kv
