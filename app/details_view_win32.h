// The Details view of the main window: a list view with a column for each
// field of the entries, for the store one more visible list. It is virtual
// (LVS_OWNERDATA): it keeps only the number of rows and the selection, and
// asks the store for the texts of the rows it draws, so that only the rows
// on screen are ever made.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/details_rows.h"
#include "app/settings.h"
#include "schedule/schedule_store.h"
#include "schedule/visible_list.h"

namespace kv {

class DetailsView final : public VisibleList {
 public:
  // Makes the list view with its columns, hidden, as the child `id` of
  // `parent`; window() is null when it cannot be made.
  DetailsView(HWND parent, HINSTANCE instance, int id);
  ~DetailsView() override;
  DetailsView(const DetailsView&) = delete;
  DetailsView& operator=(const DetailsView&) = delete;

  HWND window() const { return list_; }
  // The store whose rows it draws.
  void drawFrom(const ScheduleStore& store) { store_ = &store; }

  bool showsRowTexts() const override { return false; }
  void insertRow(int index, std::string text) override;
  void removeRow(int index) override;
  void clear() override;
  int selectedRow() const override;
  void selectRow(int index) override;
  void beginBulkUpdate(std::size_t rows) override;
  void endBulkUpdate() override;
  // Takes the selection from a row, leaving none selected.
  void deselect(int row);

  // The list view's notifications to its parent: the texts of a cell, and
  // the row that typed letters find. The answer to the message.
  LRESULT onNotify(NMHDR& header);

  // The Last Result column: read afresh from a history file's bytes, and
  // following each start and end recorded, for the schedule named (UTF-8).
  void readHistory(std::string_view historyBytes, std::string_view schedule);
  void noteRecord(const HistoryRecord& record, std::string_view schedule);

  // Gives each column the width kept for it, or fits it to its title and
  // the rows on screen.
  void sizeColumns(const ColumnWidths& kept);
  // The widths to keep: those the user dragged, and those kept before.
  ColumnWidths columnWidthsToKeep() const;

 private:
  // The texts of the last row drawn: the list asks for them cell by cell.
  struct DrawnRow {
    int row = -1;
    std::string line;
    std::array<std::wstring, kDetailsColumnCount> cells;
  };

  // The selected row and the caret (-1: none).
  struct Marks {
    int selected;
    int focused;
  };

  void onGetDisplayInfo(NMLVDISPINFOW& info);
  LRESULT onFindItem(const NMLVFINDITEMW& find) const;
  const DrawnRow& drawnRow(int row);
  // Tells the list view the number of rows, keeping its scroll position.
  void showCount();
  int focusedRow() const;
  // Sets `states` (LVIS_SELECTED, LVIS_FOCUSED) of a row, within `mask`.
  void setStates(int row, UINT states, UINT mask);
  // The list view knows nothing of where a row came or went: the selection
  // and the caret are moved to follow their entries.
  void moveMarks(const Marks& from, const Marks& to);
  int fittedWidth(std::size_t column);

  HWND list_ = nullptr;
  const ScheduleStore* store_ = nullptr;
  int count_ = 0;
  bool bulk_ = false;
  // Where the selection was last seen, to look there first.
  mutable int lastSelected_ = -1;
  LastResults results_;
  DrawnRow drawn_;
  ColumnWidths kept_ = ColumnWidths(kDetailsColumnCount);
  std::vector<int> openedWidths_;
};

}  // namespace kv
