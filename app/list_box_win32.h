// The visible list of the main window, hList, for the store.
#pragma once

#include <windows.h>

#include "schedule/visible_list.h"

namespace kv {

class ListBoxList final : public VisibleList {
 public:
  explicit ListBoxList(HWND listBox) : listBox_(listBox) {}
  void insertRow(int index, std::string text) override;
  void removeRow(int index) override;
  void clear() override;
  int selectedRow() const override;
  void selectRow(int index) override;
  void beginBulkUpdate(std::size_t rows) override;
  void endBulkUpdate() override;

 private:
  // About the characters a row's text takes: a description and a date and
  // time.
  static constexpr std::size_t kRowTextCharacters = 48;
  HWND listBox_;
};

}  // namespace kv
