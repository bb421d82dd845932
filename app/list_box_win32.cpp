#include "app/list_box_win32.h"

#include <new>

#include "schedule/code_pages_win32.h"

namespace kv {

void ListBoxList::insertRow(int index, std::string text) {
  const std::wstring wide = toWide(text);
  const LRESULT at = SendMessageW(listBox_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(wide.c_str()));
  // A row the list has no room for is a failure like any other allocation's:
  // the store takes back its row, so that list and store stay row for row.
  if (at == LB_ERRSPACE || at == LB_ERR) throw std::bad_alloc();
}

void ListBoxList::removeRow(int index) {
  SendMessageW(listBox_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBoxList::clear() {
  SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
}

int ListBoxList::selectedRow() const {
  return static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0));
}

void ListBoxList::selectRow(int index) {
  // The list moves its caret with the selection and scrolls the row into
  // view, so the arrow keys go on from there.
  SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBoxList::beginBulkUpdate(std::size_t rows) {
  SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
  // Room for every row at once, rather than growing the list's storage a
  // few rows at a time as they are added.
  SendMessageW(listBox_, LB_INITSTORAGE, static_cast<WPARAM>(rows),
               static_cast<LPARAM>(rows * kRowTextCharacters * sizeof(wchar_t)));
}

void ListBoxList::endBulkUpdate() {
  SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(listBox_, nullptr, TRUE);
}

}  // namespace kv
