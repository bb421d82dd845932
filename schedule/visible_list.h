// The visible list of the main window, as the store sees it.
#pragma once

#include <cstddef>
#include <string>

namespace kv {

class VisibleList {
 public:
  virtual ~VisibleList() = default;
  // Whether the list keeps a text of its own for each row. One that does
  // not (a virtual list, which asks the store for the rows it draws) is
  // given empty texts, and the store makes none for it.
  virtual bool showsRowTexts() const { return true; }
  // Inserts a row at index, shifting later rows down; -1 appends. Throws
  // std::bad_alloc, the list as it was, when it has no room for the row.
  virtual void insertRow(int index, std::string text) = 0;
  virtual void removeRow(int index) = 0;
  virtual void clear() = 0;
  // The selected row, or -1 when none is selected.
  virtual int selectedRow() const = 0;
  // Selects a row as a user's click does for everything that reads the
  // selection (the commands, the menu's grey states), and brings it into
  // view.
  virtual void selectRow(int index) = 0;
  // Brackets a bulk change of about `rows` rows, so that a long list is not
  // repainted row by row and can make room for them at once.
  virtual void beginBulkUpdate(std::size_t rows) { (void)rows; }
  virtual void endBulkUpdate() {}
};

}  // namespace kv
