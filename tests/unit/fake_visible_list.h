// A visible list held in memory, for tests of whatever drives the main
// window's list.
//
// It behaves as a plain list box does: an index past the end is refused (and
// fails the running test, since the store must never send one), the
// selection follows its row when rows are inserted or removed before it, and
// removing the selected row leaves no selection.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "schedule/visible_list.h"

namespace kvtest {

class FakeVisibleList : public kv::VisibleList {
 public:
  std::vector<std::string> rows;
  int selected = -1;
  // False: a list that draws its rows from the store, as the Details view
  // does; every text it is given must then be empty.
  bool texts = true;
  // How often the program selected a row (a count, so that selecting
  // allocates nothing, as in a real list).
  int selectCalls = 0;
  // Bulk-update bookkeeping: how many brackets were opened, how deep we are,
  // and how many rows changed inside a bracket.
  int bulkUpdates = 0;
  int bulkDepth = 0;
  int rowsChangedInBulk = 0;

  bool showsRowTexts() const override { return texts; }

  void insertRow(int index, std::string text) override {
    if (!texts && !text.empty()) ADD_FAILURE() << "a text for a list that shows none: " << text;
    const int count = static_cast<int>(rows.size());
    if (index < -1 || index > count) {
      ADD_FAILURE() << "insertRow at " << index << " in a list of " << count;
      return;
    }
    const int at = index == -1 ? count : index;
    rows.insert(rows.begin() + at, std::move(text));
    if (selected >= at) ++selected;
    noteChange();
  }

  void removeRow(int index) override {
    if (index < 0 || index >= static_cast<int>(rows.size())) {
      ADD_FAILURE() << "removeRow " << index << " in a list of " << rows.size();
      return;
    }
    rows.erase(rows.begin() + index);
    if (selected == index) {
      selected = -1;
    } else if (selected > index) {
      --selected;
    }
    noteChange();
  }

  void clear() override {
    rows.clear();
    selected = -1;
  }

  int selectedRow() const override { return selected; }

  void selectRow(int index) override {
    if (index < -1 || index >= static_cast<int>(rows.size())) {
      ADD_FAILURE() << "selectRow " << index << " in a list of " << rows.size();
      return;
    }
    selected = index;
    ++selectCalls;
  }

  void beginBulkUpdate(std::size_t) override {
    ++bulkUpdates;
    ++bulkDepth;
  }
  void endBulkUpdate() override {
    if (bulkDepth == 0) ADD_FAILURE() << "endBulkUpdate without beginBulkUpdate";
    --bulkDepth;
  }

 private:
  void noteChange() {
    if (bulkDepth > 0) ++rowsChangedInBulk;
  }
};

}  // namespace kvtest
