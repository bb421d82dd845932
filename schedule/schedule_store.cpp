// The schedule store.
//
// Lines order by their start time as a number, then by the whole line
// compared byte by byte with ASCII case ignored (as a sorted list box orders
// text). Ordering by the number keeps ten-digit start times (from September
// 2001 on) after nine-digit ones; a text-only order would put them first.
// A line equal to stored ones goes after them.
#include "schedule/schedule_store.h"

#include <algorithm>
#include <new>
#include <utility>

#include "schedule/ascii_case.h"
#include "schedule/utf8_text.h"

namespace kv {
namespace {

// A row's place in due order: its start, then its line.
struct DueKey {
  Time start;
  std::string_view line;
};

DueKey keyOf(const PackedRow& row) {
  return {row.start, row.line()};
}

constexpr auto dueBefore = [](const DueKey& a, const DueKey& b) {
  if (a.start != b.start) return a.start < b.start;
  return lessIgnoringAsciiCase(a.line, b.line);
};

constexpr auto rowDueBefore = [](const PackedRow& a, const PackedRow& b) {
  return dueBefore(keyOf(a), keyOf(b));
};

void cutToEntryLine(EntryLine& line) {
  line.resize(utf16Head(line, kMaxEntryLine).size());
}

// Room for one more row, growing by half so that adding rows one by one
// does not copy the whole list each time.
void reserveOneMore(std::vector<PackedRow>& rows) {
  if (rows.size() < rows.capacity()) return;
  rows.reserve(rows.size() + rows.size() / 2 + 16);
}

}  // namespace

int rowSelectedAfterRemoving(int removed, std::size_t rowsLeft) {
  if (rowsLeft == 0) return -1;
  return std::min(removed, static_cast<int>(rowsLeft) - 1);
}

ScheduleStore::ScheduleStore(VisibleList& list, RowFormatter formatRow)
    : list_(&list), formatRow_(std::move(formatRow)) {
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
  std::string text =
      list_->showsRowTexts() ? formatRow_(stored->start, stored->description) : std::string();
  const Time start = leadingStart(line);
  return NewRow{start, std::move(line), std::move(text), std::move(*stored)};
}

ScheduleStore::NewRow ScheduleStore::newRow(EntryLine line, std::string text) const {
  cutToEntryLine(line);
  ScheduleEntry entry = parseEntryLine(line);
  const Time start = leadingStart(line);
  return NewRow{start, std::move(line), std::move(text), std::move(entry)};
}

ScheduleEntry ScheduleStore::firstDueWith(const PackedRow* top) const {
  if (top) return parseEntryLine(top->line());
  ScheduleEntry none = firstDue_;
  none.start = kNeverDue;
  none.end = 0;
  return none;
}

std::size_t ScheduleStore::indexOf(std::string_view line) const {
  const auto found = std::find_if(lines_.rows.begin(), lines_.rows.end(),
                                  [line](const PackedRow& row) { return row.line() == line; });
  return static_cast<std::size_t>(found - lines_.rows.begin());
}

std::size_t ScheduleStore::dueIndexOf(const NewRow& row) const {
  const DueKey key{row.start, row.line};
  const auto after = std::upper_bound(
      lines_.rows.begin(), lines_.rows.end(), key,
      [](const DueKey& k, const PackedRow& stored) { return dueBefore(k, keyOf(stored)); });
  return static_cast<std::size_t>(after - lines_.rows.begin());
}

void ScheduleStore::insertRow(std::size_t at, const PackedRow& packed, std::string text) {
  lines_.rows.insert(lines_.rows.begin() + static_cast<std::ptrdiff_t>(at), packed);
  try {
    list_->insertRow(static_cast<int>(at), std::move(text));
  } catch (...) {
    // Only a row that was added alone can meet this: the list is as it was.
    lines_.letGo(packed);
    lines_.rows.erase(lines_.rows.begin() + static_cast<std::ptrdiff_t>(at));
    throw;
  }
}

int ScheduleStore::change(std::optional<std::size_t> removed, std::optional<NewRow> added) {
  // Where the new row goes once the removed one is out.
  std::size_t at = added ? dueIndexOf(*added) : 0;
  if (added && removed && *removed < at) --at;
  // Everything that can fail comes first: the next first-due entry, and
  // the room for a row that is only added.
  std::optional<ScheduleEntry> first;
  if (added && at == 0) {
    first = added->entry;
  } else if (removed && *removed == 0) {
    first = firstDueWith(lines_.rows.size() > 1 ? &lines_.rows[1] : nullptr);
  }
  if (added && !removed) reserveOneMore(lines_.rows);
  // Packed last of what can fail: a row that is then not added is a gap.
  const std::optional<PackedRow> packed =
      added ? std::optional<PackedRow>(lines_.pack(added->line)) : std::nullopt;
  if (removed) {
    lines_.letGo(lines_.rows[*removed]);
    lines_.rows.erase(lines_.rows.begin() + static_cast<std::ptrdiff_t>(*removed));
    list_->removeRow(static_cast<int>(*removed));
  }
  if (added) insertRow(at, *packed, std::move(added->text));
  repackWhenWorthIt();
  if (first) firstDue_ = std::move(*first);
  return added ? static_cast<int>(at) : -1;
}

int ScheduleStore::fileEntry(const ScheduleEntry& entry) {
  return change(std::nullopt, newRow(entry));
}

bool ScheduleStore::refile(const EntryLine& launched, const std::optional<ScheduleEntry>& next) {
  const std::size_t row = indexOf(launched);
  if (row == lines_.rows.size()) return false;
  change(row, next ? std::optional<NewRow>(newRow(*next)) : std::nullopt);
  return true;
}

void ScheduleStore::replaceLines(const std::vector<EntryLine>& lines) {
  PackedLines packed;
  packed.rows.reserve(lines.size());
  for (const EntryLine& line : lines) packed.append(line);
  replaceLines(std::move(packed));
}

void ScheduleStore::replaceLines(PackedLines lines) {
  // Sorted apart and swapped in, so that running out of memory on the way
  // leaves the store as it was.
  std::stable_sort(lines.rows.begin(), lines.rows.end(), rowDueBefore);
  ScheduleEntry first = firstDueWith(lines.rows.empty() ? nullptr : &lines.rows.front());
  std::swap(lines_, lines);
  firstDue_ = std::move(first);
  heldOut_.reset();
}

void ScheduleStore::repackWhenWorthIt() {
  if (!lines_.worthRepacking()) return;
  try {
    lines_ = lines_.repacked();
  } catch (const std::bad_alloc&) {
    // The gaps stay until the next change; nothing is lost.
  }
}

void ScheduleStore::removeRow(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= lines_.rows.size()) return;
  change(static_cast<std::size_t>(row), std::nullopt);
}

void ScheduleStore::removeRowSelectingNext(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= lines_.rows.size()) return;
  removeRow(row);
  const int next = rowSelectedAfterRemoving(row, lines_.rows.size());
  if (next >= 0) list_->selectRow(next);
}

int ScheduleStore::restoreRowPair(const EntryLine& line, const std::string& displayRow) {
  return change(std::nullopt, newRow(line, displayRow));
}

bool ScheduleStore::holdOut(int row) {
  if (heldOut_ || row < 0 || static_cast<std::size_t>(row) >= lines_.rows.size()) return false;
  const std::string_view line = lines_.rows[static_cast<std::size_t>(row)].line();
  HeldOut held{EntryLine(line),
               list_->showsRowTexts() ? std::optional(displayRow(line)) : std::nullopt};
  removeRow(row);
  heldOut_ = std::move(held);
  return true;
}

int ScheduleStore::restoreHeldOut() {
  if (!heldOut_) return -1;
  // Held until it is back, so that running out of memory loses nothing. A
  // row held while the list showed no texts gets its text now, should the
  // list that shows it now want one.
  std::string text;
  if (list_->showsRowTexts()) {
    text = heldOut_->displayRow ? *heldOut_->displayRow : displayRow(heldOut_->line);
  }
  const int index = restoreRowPair(heldOut_->line, text);
  heldOut_.reset();
  return index;
}

std::size_t ScheduleStore::heldOutPosition() const {
  if (!heldOut_) return lines_.rows.size();
  const DueKey held{leadingStart(heldOut_->line), heldOut_->line};
  return static_cast<std::size_t>(std::upper_bound(lines_.rows.begin(), lines_.rows.end(), held,
                                                   [](const DueKey& k, const PackedRow& row) {
                                                     return dueBefore(k, keyOf(row));
                                                   }) -
                                  lines_.rows.begin());
}

void ScheduleStore::rebuildVisibleList() {
  rebuildVisibleList(formatRow_);
}

void ScheduleStore::rebuildVisibleList(const RowFormatter& format) {
  list_->beginBulkUpdate(lines_.rows.size());
  try {
    fillVisibleList(format);
  } catch (...) {
    list_->endBulkUpdate();
    throw;
  }
  list_->endBulkUpdate();
}

void ScheduleStore::fillVisibleList(const RowFormatter& format) {
  list_->clear();
  // A list that draws its rows from the store needs only their number.
  if (!list_->showsRowTexts()) {
    for (std::size_t row = 0; row < lines_.rows.size(); ++row) list_->insertRow(-1, {});
    return;
  }
  for (const PackedRow& row : lines_.rows) {
    const ScheduleEntry entry = parseEntryLine(row.line());
    list_->insertRow(-1, format(entry.start, entry.description));
  }
}

void ScheduleStore::showIn(VisibleList& list, const RowFormatter& format) {
  if (&list == list_) return;
  VisibleList& shown = *list_;
  const int selected = shown.selectedRow();
  list_ = &list;
  try {
    rebuildVisibleList(format);
  } catch (...) {
    // The rows stay where they were.
    list.clear();
    list_ = &shown;
    throw;
  }
  shown.clear();
  if (selected >= 0 && static_cast<std::size_t>(selected) < lines_.rows.size()) {
    list.selectRow(selected);
  }
}

void ScheduleStore::clear() {
  lines_ = PackedLines();
  list_->clear();
  heldOut_.reset();
  firstDue_.start = kNeverDue;
  firstDue_.end = 0;
}

std::string ScheduleStore::displayRow(std::string_view line) const {
  const ScheduleEntry entry = parseEntryLine(line);
  return formatRow_(entry.start, entry.description);
}

std::optional<int> ScheduleStore::selectedRow() const {
  const int row = list_->selectedRow();
  if (row < 0 || static_cast<std::size_t>(row) >= lines_.rows.size()) return std::nullopt;
  return row;
}

bool ScheduleStore::copySelected() {
  const std::optional<int> row = selectedRow();
  if (!row) return false;
  clip_ = lines_.rows[static_cast<std::size_t>(*row)].line();
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
  list_->selectRow(fileEntry(parseEntryLine(clip_)));
  changed_ = true;
  return true;
}

}  // namespace kv
