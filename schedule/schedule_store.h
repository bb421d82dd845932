// The schedule: every entry as its EntryLine, in the order in which the
// entries fall due, with the visible list kept row for row in step.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "schedule/entry_line.h"
#include "schedule/packed_lines.h"
#include "schedule/visible_list.h"

namespace kv {

// Delete and Cut: the row selected once row `removed` is gone and
// `rowsLeft` rows remain: the one that took its place, or the last when it
// was the last; -1 when none is left.
int rowSelectedAfterRemoving(int removed, std::size_t rowsLeft);

// Makes the visible row of an entry from its start and description
// ("%s at %s %s" with the date and time text of the start).
using RowFormatter = std::function<std::string(Time start, const std::string& description)>;

class ScheduleStore {
 public:
  ScheduleStore(VisibleList& list, RowFormatter formatRow);

  // Every change keeps the visible list and the first-due entry in step,
  // and is whole or not made at all: running out of memory on the way leaves
  // the store as it was.

  // Composes the entry's line, files it in due order and shows its row at
  // the same index. Returns that index.
  int fileEntry(const ScheduleEntry& entry);
  // Re-filing after a launch: the row holding `launched` gives way to the
  // entry under its next start, or goes when there is none. False when no
  // row holds the line (a nested due check has re-filed it already).
  bool refile(const EntryLine& launched, const std::optional<ScheduleEntry>& next);
  // Replaces the whole store by these lines, sorted once (loading); an
  // entry held out is let go.
  void replaceLines(const std::vector<EntryLine>& lines);
  void replaceLines(PackedLines lines);
  // Removes row i from the store, then from the visible list.
  void removeRow(int row);
  // Delete and Cut: removes row i as removeRow does, then selects the row
  // the keyboard goes on with (rowSelectedAfterRemoving).
  void removeRowSelectingNext(int row);
  // Puts a saved line back in due order and its display row, as it was, at
  // the same index. Returns that index.
  int restoreRowPair(const EntryLine& line, const std::string& displayRow);
  // Edit: the entry of a row taken out of the schedule while its dialog is
  // open. It stands in no row, so no due check starts it and the list does
  // not show it, yet a save still writes it: it is still the user's. One at
  // a time; false without such a row or while another is held out.
  bool holdOut(int row);
  // The held-out entry's line, or null.
  const EntryLine* heldOut() const { return heldOut_ ? &heldOut_->line : nullptr; }
  // Puts it back as it was, its display row included, at the index due order
  // gives it (Cancel); -1 when none is held out. Does not reload.
  int restoreHeldOut();
  // Forgets it: its edited entry has been filed in its place.
  void releaseHeldOut() { heldOut_.reset(); }
  // Where a save writes the held-out line among the rows: before row i.
  std::size_t heldOutPosition() const;
  // Empties the visible list and shows every stored line again, each row
  // made by the store's formatter or by `format` (one that may reuse what it
  // made for the row before, as rows come in due order).
  void rebuildVisibleList();
  void rebuildVisibleList(const RowFormatter& format);
  // Shows the rows in another visible list from now on (another view of
  // the schedule): it is filled as rebuildVisibleList(format) fills it, the
  // row selected in the list that showed them is selected in it, and that
  // list is emptied. Whole or not made: when the new list has no room for
  // the rows, they stay where they were.
  void showIn(VisibleList& list, const RowFormatter& format);
  // The entry of the top row (start kNeverDue, end 0 when the store is
  // empty; the other fields keep their last values).
  const ScheduleEntry& firstDue() const { return firstDue_; }
  // Empties the store and the visible list; an entry held out is let go.
  void clear();

  std::size_t size() const { return lines_.rows.size(); }
  bool empty() const { return lines_.rows.empty(); }
  std::string_view line(std::size_t row) const { return lines_.rows[row].line(); }
  // The display row of an entry line, as the visible list shows it.
  std::string displayRow(std::string_view line) const;

  // The selected row of the visible list, when it names a stored row.
  std::optional<int> selectedRow() const;
  // Selects row i of the visible list, so that the keyboard's commands act
  // on it. Only the commands select; the due check never does.
  void selectRow(int row) { list_->selectRow(row); }

  // Copy: the selected row's line goes into the clip buffer. Cut also marks
  // the schedule changed; the caller then runs Delete. False without a
  // selection.
  bool copySelected();
  bool cutSelected();
  // Paste: files the clip buffer's entry as stored, selects its row and
  // marks the schedule changed. False while the clip buffer is empty.
  bool paste();
  bool clipFull() const { return clipFull_; }
  const EntryLine& clipBuffer() const { return clip_; }

  bool changed() const { return changed_; }
  void markChanged() { changed_ = true; }
  void clearChanged() { changed_ = false; }

 private:
  // A row to put in, made in full before the store changes.
  struct NewRow {
    Time start;
    EntryLine line;
    std::string text;     // its display row
    ScheduleEntry entry;  // its values as its line reads back
  };
  NewRow newRow(const ScheduleEntry& entry) const;
  NewRow newRow(EntryLine line, std::string text) const;
  // Takes a row out and puts a new one in, either or both, all or nothing;
  // returns the new row's index (-1 without one).
  int change(std::optional<std::size_t> removed, std::optional<NewRow> added);
  // Where a new row goes in due order, before any row leaves.
  std::size_t dueIndexOf(const NewRow& row) const;
  // Puts a packed row and its display row in at `at`, both or neither.
  void insertRow(std::size_t at, const PackedRow& packed, std::string text);
  // The first-due entry with this line on top (none: the store is empty).
  ScheduleEntry firstDueWith(const PackedRow* top) const;
  std::size_t indexOf(std::string_view line) const;
  // Packs the lines again once gaps left by removed rows outweigh them.
  void repackWhenWorthIt();
  // Empties the visible list and puts a row in for every line.
  void fillVisibleList(const RowFormatter& format);

  struct HeldOut {
    EntryLine line;
    // As it was shown; none when the list showed no texts.
    std::optional<std::string> displayRow;
  };

  VisibleList* list_;
  RowFormatter formatRow_;
  PackedLines lines_;
  std::optional<HeldOut> heldOut_;
  ScheduleEntry firstDue_;
  EntryLine clip_;
  bool clipFull_ = false;
  bool changed_ = false;
};

}  // namespace kv
