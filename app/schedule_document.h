// The open schedule: its entries, the file they belong to, and what the
// file and entry dialogs remember. The commands that work on the schedule take this, not the
// whole application.
#pragma once

#include <string>
#include <utility>

#include "schedule/schedule_store.h"

namespace kv {

struct ScheduleDocument {
  ScheduleDocument(VisibleList& list, RowFormatter formatRow) : store(list, std::move(formatRow)) {}

  ScheduleStore store;
  std::string fileName;         // empty for an untitled schedule
  std::string openDialogField;  // the path last chosen in the Open dialog
  // The remembered program directory of the entry dialogs, kept between
  // them for the whole run, whatever schedule is open.
  std::string programDirectory;
};

}  // namespace kv
