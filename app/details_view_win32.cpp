#include "app/details_view_win32.h"

#include <algorithm>
#include <new>

#include "locale/regional_settings_win32.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

constexpr DWORD kStyle =
    WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr UINT_PTR kInputSubclass = 1;

// Room a list view leaves beside a cell's text, with a few pixels to spare.
constexpr int kCellPadding = 16;
// A column fitted to its texts is at least this many characters wide, so
// that an entry added later is not cut at once, and at most kWidestFit, so
// that one long command line does not push the other columns away.
constexpr std::array<std::size_t, kDetailsColumnCount> kNarrowestFit = {0, 0, 0, 12, 12, 8, 0, 12};
constexpr std::size_t kWidestFit = 60;

int textWidth(HWND list, const std::wstring& text) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

bool isSelected(HWND list, int row) {
  return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
          LVIS_SELECTED) != 0;
}

// Wine's list view clears a selection by walking every row (a third of a
// second at a million rows) unless none is selected. So before a key or a
// click moves the selection, the selected row lets go of it by itself, and
// the list view then selects as it always does. A key that does not move
// (Up on the top row) gets its row selected again.
bool movesSelection(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_KEYDOWN:
      return wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT ||
             wParam == VK_HOME || wParam == VK_END || wParam == VK_SPACE;
    case WM_CHAR:  // typing the start of a description
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK inputProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR view) {
  const bool key = message == WM_KEYDOWN || message == WM_CHAR;
  if (!movesSelection(message, wParam)) {
    return DefSubclassProc(list, message, wParam, lParam);
  }
  auto& details = *reinterpret_cast<DetailsView*>(view);
  const int selected = details.selectedRow();
  if (selected >= 0) details.deselect(selected);
  const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  if (key && selected >= 0 && SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
    details.selectRow(selected);
  }
  return result;
}

int shifted(int row, int insertedAt) {
  return row >= insertedAt ? row + 1 : row;
}

int pulled(int row, int removedAt) {
  return row > removedAt ? row - 1 : row;
}

}  // namespace

DetailsView::DetailsView(HWND parent, HINSTANCE instance, int id) {
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", kStyle, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (!list_) return;
  // The list view asks its Unicode parent for its texts in UTF-16.
  SendMessageW(list_, LVM_SETUNICODEFORMAT, TRUE, 0);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kDetailsColumnTitles.size(); ++i) {
    std::wstring title = toWide(kDetailsColumnTitles[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SetWindowSubclass(list_, inputProcedure, kInputSubclass, reinterpret_cast<DWORD_PTR>(this));
}

DetailsView::~DetailsView() {
  if (list_ && IsWindow(list_)) RemoveWindowSubclass(list_, inputProcedure, kInputSubclass);
}

// --- The rows --------------------------------------------------------------------

void DetailsView::showCount() {
  SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count_), LVSICF_NOSCROLL);
}

void DetailsView::setStates(int row, UINT states, UINT mask) {
  LVITEMW item{};
  item.state = states;
  item.stateMask = mask;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void DetailsView::deselect(int row) {
  setStates(row, 0, LVIS_SELECTED);
  lastSelected_ = -1;
}

int DetailsView::focusedRow() const {
  return static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void DetailsView::moveMarks(const Marks& from, const Marks& to) {
  if (to.selected != from.selected) {
    if (from.selected >= 0) deselect(from.selected);
    if (to.selected >= 0) setStates(to.selected, LVIS_SELECTED, LVIS_SELECTED);
    lastSelected_ = to.selected;
  }
  if (to.focused != from.focused && to.focused >= 0) {
    setStates(to.focused, LVIS_FOCUSED, LVIS_FOCUSED);
  }
}

void DetailsView::insertRow(int index, std::string) {
  const int at = index < 0 ? count_ : index;
  ++count_;
  if (bulk_) return;
  const Marks marks{selectedRow(), focusedRow()};
  showCount();
  moveMarks(marks, {shifted(marks.selected, at), shifted(marks.focused, at)});
}

void DetailsView::removeRow(int index) {
  --count_;
  if (bulk_) return;
  // The marks move before the list shrinks, so that none falls off its end.
  const Marks marks{selectedRow(), focusedRow()};
  moveMarks(marks, {marks.selected == index ? -1 : pulled(marks.selected, index),
                    pulled(marks.focused, index)});
  showCount();
}

void DetailsView::clear() {
  const int selected = selectedRow();
  if (selected >= 0) deselect(selected);
  count_ = 0;
  if (!bulk_) showCount();
}

int DetailsView::selectedRow() const {
  if (SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return -1;
  // The selection is nearly always where it was last seen, or at the
  // caret; only otherwise is the list searched, which Wine does row by row.
  for (const int row : {lastSelected_, focusedRow()}) {
    if (row >= 0 && isSelected(list_, row)) return lastSelected_ = row;
  }
  return lastSelected_ = static_cast<int>(
             SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void DetailsView::selectRow(int index) {
  const int selected = selectedRow();
  if (selected >= 0 && selected != index) deselect(selected);
  if (index < 0 || index >= count_) return;
  // The caret moves with the selection, so the arrow keys go on from there.
  setStates(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(list_, LVM_SETSELECTIONMARK, 0, index);
  SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
  lastSelected_ = index;
}

void DetailsView::beginBulkUpdate(std::size_t) {
  bulk_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

void DetailsView::endBulkUpdate() {
  bulk_ = false;
  showCount();
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

// --- The texts -------------------------------------------------------------------

const DetailsView::DrawnRow& DetailsView::drawnRow(int row) {
  const std::string_view line = store_->line(static_cast<std::size_t>(row));
  if (drawn_.row == row && drawn_.line == line) return drawn_;
  drawn_.row = -1;  // until every cell is made
  const DetailsRow texts =
      detailsRow(parseEntryLine(line), results_, DetailsTexts{formatStartTime, formatRecentTime});
  for (std::size_t column = 0; column < texts.size(); ++column) {
    drawn_.cells[column] = toWide(texts[column]);
  }
  drawn_.line = line;
  drawn_.row = row;
  return drawn_;
}

void DetailsView::onGetDisplayInfo(NMLVDISPINFOW& info) {
  const int row = info.item.iItem;
  const auto column = static_cast<std::size_t>(info.item.iSubItem);
  if (!(info.item.mask & LVIF_TEXT) || !store_ || row < 0 ||
      static_cast<std::size_t>(row) >= store_->size() || column >= kDetailsColumnCount) {
    return;
  }
  info.item.pszText = const_cast<wchar_t*>(drawnRow(row).cells[column].c_str());
}

LRESULT DetailsView::onFindItem(const NMLVFINDITEMW& find) const {
  if (!store_ || !find.lvfi.psz || !(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL))) return -1;
  const std::string prefix = toUtf8(find.lvfi.psz);
  const std::size_t from = find.iStart < 0 ? 0 : static_cast<std::size_t>(find.iStart);
  const std::optional<std::size_t> row =
      findByDescription(*store_, from, prefix, (find.lvfi.flags & LVFI_WRAP) != 0);
  return row ? static_cast<LRESULT>(*row) : -1;
}

LRESULT DetailsView::onNotify(NMHDR& header) {
  try {
    switch (header.code) {
      case LVN_GETDISPINFOW:
        onGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
        return 0;
      case LVN_ODFINDITEMW:
        return onFindItem(reinterpret_cast<const NMLVFINDITEMW&>(header));
      default:
        return 0;
    }
  } catch (const std::bad_alloc&) {
    // A cell without its text, or a search that finds nothing.
    return header.code == LVN_ODFINDITEMW ? -1 : 0;
  }
}

void DetailsView::readHistory(std::string_view historyBytes, std::string_view schedule) {
  results_.read(historyBytes, schedule);
  drawn_.row = -1;
  InvalidateRect(list_, nullptr, FALSE);
}

void DetailsView::noteRecord(const HistoryRecord& record, std::string_view schedule) {
  if (!results_.note(record, schedule)) return;
  drawn_.row = -1;
  InvalidateRect(list_, nullptr, FALSE);
}

// --- The columns -----------------------------------------------------------------

int DetailsView::fittedWidth(std::size_t column) {
  int widest = std::max(textWidth(list_, toWide(kDetailsColumnTitles[column])),
                        textWidth(list_, std::wstring(kNarrowestFit[column], L'x')));
  const int top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  const int end = std::min(count_, std::max(top, 0) + perPage + 1);
  for (int row = std::max(top, 0); store_ && row < end; ++row) {
    widest = std::max(widest, textWidth(list_, drawnRow(row).cells[column]));
  }
  return std::min(widest, textWidth(list_, std::wstring(kWidestFit, L'x'))) + kCellPadding;
}

void DetailsView::sizeColumns(const ColumnWidths& kept) {
  kept_ = kept;
  kept_.resize(kDetailsColumnCount);
  openedWidths_.clear();
  for (std::size_t column = 0; column < kDetailsColumnCount; ++column) {
    const int width = kept_[column] ? *kept_[column] : fittedWidth(column);
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
    openedWidths_.push_back(static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)));
  }
}

ColumnWidths DetailsView::columnWidthsToKeep() const {
  if (openedWidths_.empty()) return kept_;  // never sized: nothing dragged
  std::vector<int> now;
  for (std::size_t column = 0; column < kDetailsColumnCount; ++column) {
    now.push_back(static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)));
  }
  return widthsToKeep(kept_, openedWidths_, now);
}

}  // namespace kv
