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
  // Nothing is due before the first reload.
  firstDue_.start = kNeverDue;
  firstDue_.end = 0;
}

std::size_t ScheduleStore::insertSorted(EntryLine line) {
  cutToEntryLine(line);
  Row row{leadingStart(line), std::move(line)};
  const auto at = std::upper_bound(rows_.begin(), rows_.end(), row, dueBefore);
  const auto index = at - rows_.begin();
  rows_.insert(at, std::move(row));
  return static_cast<std::size_t>(index);
}

int ScheduleStore::fileEntry(const ScheduleEntry& entry) {
  EntryLine line = composeEntryLine(entry);
  // The row reads exactly as a rebuilt list would show it (a cut or empty
  // description included): it is made from the entry when its line reads
  // back as it, and only otherwise from the line, parsed.
  std::optional<ScheduleEntry> stored = entryAsComposedLineReads(entry);
  if (!stored) stored = parseEntryLine(line);
  const std::string row = formatRow_(stored->start, stored->description);
  const int index = static_cast<int>(insertSorted(std::move(line)));
  list_.insertRow(index, row);
  // A new top row is the next first-due entry, with no parse to make it.
  if (index == 0) newTop_ = std::move(stored);
  return index;
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
  rows_.swap(rows);
  heldOut_.reset();
  newTop_.reset();
}

void ScheduleStore::removeRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
  rows_.erase(rows_.begin() + row);
  list_.removeRow(row);
  if (row == 0) newTop_.reset();
}

int ScheduleStore::restoreRowPair(const EntryLine& line, const std::string& displayRow) {
  const int index = static_cast<int>(insertSorted(line));
  list_.insertRow(index, displayRow);
  if (index == 0) newTop_.reset();
  return index;
}

bool ScheduleStore::holdOut(int row) {
  if (heldOut_ || row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return false;
  const EntryLine& line = rows_[static_cast<std::size_t>(row)].line;
  heldOut_ = HeldOut{line, displayRow(line)};
  removeRow(row);
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

void ScheduleStore::reloadFirstDue() {
  if (rows_.empty()) {
    firstDue_.start = kNeverDue;
    firstDue_.end = 0;
    return;
  }
  firstDue_ = newTop_ ? *newTop_ : parseEntryLine(rows_.front().line);
  newTop_.reset();
}

void ScheduleStore::clear() {
  rows_.clear();
  list_.clear();
  heldOut_.reset();
  newTop_.reset();
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
  reloadFirstDue();
  return true;
}

}  // namespace kv
