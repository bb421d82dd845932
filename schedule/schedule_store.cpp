// The schedule store.
//
// Lines order by their start time as a number, then by the whole line
// compared byte by byte with ASCII case ignored (as a sorted list box orders
// text). Ordering by the number keeps ten-digit start times (from September
// 2001 on) after nine-digit ones; a text-only order would put them first.
// A line equal to stored ones goes after them.
#include "schedule/schedule_store.h"

#include <algorithm>
#include <utility>

#include "schedule/ascii_case.h"

namespace kv {
namespace {

constexpr auto dueBefore = [](const auto& a, const auto& b) {
  if (a.start != b.start) return a.start < b.start;
  return lessIgnoringAsciiCase(a.line, b.line);
};

void cutToEntryLine(EntryLine& line) {
  if (line.size() > kMaxEntryLine) line.resize(kMaxEntryLine);
}

}  // namespace

ScheduleStore::ScheduleStore(VisibleList& list, RowFormatter formatRow)
    : list_(list), formatRow_(std::move(formatRow)) {
  // Nothing is due while the store is empty.
  firstDue_.start = kNeverDue;
  firstDue_.end = 0;
}

ScheduleStore::NewRow ScheduleStore::newRow(const ScheduleEntry& entry) const {
  EntryLine line = composeEntryLine(entry);
  // The row reads exactly as a rebuilt list would show it (a cut or empty
  // description included): it is made from the entry when its line reads
  // back as it, and only otherwise from the line, parsed.
  std::optional<ScheduleEntry> stored = entryAsComposedLineReads(entry);
  if (!stored) stored = parseEntryLine(line);
  std::string text = formatRow_(stored->start, stored->description);
  const Time start = leadingStart(line);
  return NewRow{Row{start, std::move(line)}, std::move(text), std::move(*stored)};
}

ScheduleStore::NewRow ScheduleStore::newRow(EntryLine line, std::string text) const {
  cutToEntryLine(line);
  ScheduleEntry entry = parseEntryLine(line);
  const Time start = leadingStart(line);
  return NewRow{Row{start, std::move(line)}, std::move(text), std::move(entry)};
}

ScheduleEntry ScheduleStore::firstDueWith(const EntryLine* top) const {
  if (top) return parseEntryLine(*top);
  ScheduleEntry none = firstDue_;
  none.start = kNeverDue;
  none.end = 0;
  return none;
}

std::size_t ScheduleStore::indexOf(const EntryLine& line) const {
  const auto found = std::find_if(rows_.begin(), rows_.end(),
                                  [&line](const Row& row) { return row.line == line; });
  return static_cast<std::size_t>(found - rows_.begin());
}

int ScheduleStore::change(std::optional<std::size_t> removed, std::optional<NewRow> added) {
  // Where the new row goes once the removed one is out.
  std::size_t at = 0;
  if (added) {
    at = static_cast<std::size_t>(
        std::upper_bound(rows_.begin(), rows_.end(), added->row, dueBefore) - rows_.begin());
    if (removed && *removed < at) --at;
  }
  // Everything that can fail comes first: the next first-due entry, and
  // the room for a row that is only added.
  std::optional<ScheduleEntry> first;
  if (added && at == 0) {
    first = added->entry;
  } else if (removed && *removed == 0) {
    first = firstDueWith(rows_.size() > 1 ? &rows_[1].line : nullptr);
  }
  if (added && !removed) rows_.reserve(rows_.size() + 1);
  if (removed) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*removed));
    list_.removeRow(static_cast<int>(*removed));
  }
  if (added) {
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(added->row));
    try {
      list_.insertRow(static_cast<int>(at), std::move(added->text));
    } catch (...) {
      // Only a row that was added alone can meet this: the list is as it was.
      rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(at));
      throw;
    }
  }
  if (first) firstDue_ = std::move(*first);
  return added ? static_cast<int>(at) : -1;
}

int ScheduleStore::fileEntry(const ScheduleEntry& entry) {
  return change(std::nullopt, newRow(entry));
}

bool ScheduleStore::refile(const EntryLine& launched, const std::optional<ScheduleEntry>& next) {
  const std::size_t row = indexOf(launched);
  if (row == rows_.size()) return false;
  change(row, next ? std::optional<NewRow>(newRow(*next)) : std::nullopt);
  return true;
}

void ScheduleStore::replaceLines(std::vector<EntryLine> lines) {
  // Built apart and swapped in, so that running out of memory on the way
  // leaves the store as it was.
  std::vector<Row> rows;
  rows.reserve(lines.size());
  for (EntryLine& line : lines) {
    cutToEntryLine(line);
    const Time start = leadingStart(line);
    rows.push_back(Row{start, std::move(line)});
  }
  std::stable_sort(rows.begin(), rows.end(), dueBefore);
  ScheduleEntry first = firstDueWith(rows.empty() ? nullptr : &rows.front().line);
  rows_.swap(rows);
  firstDue_ = std::move(first);
  heldOut_.reset();
}

void ScheduleStore::removeRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  change(static_cast<std::size_t>(row), std::nullopt);
}

int ScheduleStore::restoreRowPair(const EntryLine& line, const std::string& displayRow) {
  return change(std::nullopt, newRow(line, displayRow));
}

bool ScheduleStore::holdOut(int row) {
  if (heldOut_ || row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return false;
  const EntryLine& line = rows_[static_cast<std::size_t>(row)].line;
  HeldOut held{line, displayRow(line)};
  removeRow(row);
  heldOut_ = std::move(held);
  return true;
}

int ScheduleStore::restoreHeldOut() {
  if (!heldOut_) return -1;
  // Held until it is back, so that running out of memory loses nothing.
  const int index = restoreRowPair(heldOut_->line, heldOut_->displayRow);
  heldOut_.reset();
  return index;
}

std::size_t ScheduleStore::heldOutPosition() const {
  if (!heldOut_) return rows_.size();
  const Row held{leadingStart(heldOut_->line), heldOut_->line};
  return static_cast<std::size_t>(std::upper_bound(rows_.begin(), rows_.end(), held, dueBefore) -
                                  rows_.begin());
}

void ScheduleStore::rebuildVisibleList() {
  list_.beginBulkUpdate();
  list_.clear();
  for (const Row& row : rows_) list_.insertRow(-1, displayRow(row.line));
  list_.endBulkUpdate();
}

void ScheduleStore::clear() {
  rows_.clear();
  list_.clear();
  heldOut_.reset();
  firstDue_.start = kNeverDue;
  firstDue_.end = 0;
}

std::string ScheduleStore::displayRow(const EntryLine& line) const {
  const ScheduleEntry entry = parseEntryLine(line);
  return formatRow_(entry.start, entry.description);
}

std::optional<int> ScheduleStore::selectedRow() const {
  const int row = list_.selectedRow();
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return std::nullopt;
  return row;
}

bool ScheduleStore::copySelected() {
  const std::optional<int> row = selectedRow();
  if (!row) return false;
  clip_ = rows_[static_cast<std::size_t>(*row)].line;
  clipFull_ = true;
  return true;
}

bool ScheduleStore::cutSelected() {
  if (!copySelected()) return false;
  changed_ = true;
  return true;
}

bool ScheduleStore::paste() {
  if (!clipFull_) return false;
  // Filed with its values as copied, old start time included. Marked changed
  // only once filed: running out of memory on the way changes nothing.
  fileEntry(parseEntryLine(clip_));
  changed_ = true;
  return true;
}

}  // namespace kv
