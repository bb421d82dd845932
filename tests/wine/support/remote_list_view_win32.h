// A list view of another process, read and worked from outside as an
// accessibility tool does: the messages that carry a pointer
// (LVM_GETITEMTEXTW, LVM_SETITEMSTATE, ...) need their structure and text
// buffer in the memory of the process that owns the list view.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kvtest {

class RemoteListView {
 public:
  explicit RemoteListView(HWND list);
  ~RemoteListView();
  RemoteListView(const RemoteListView&) = delete;
  RemoteListView& operator=(const RemoteListView&) = delete;

  // False when no memory could be had in the other process.
  bool usable() const { return memory_ != nullptr; }
  int count() const;
  // The selected row, or -1.
  int selected() const;
  // The text of a cell, in the ANSI code page (the list view's own buffer
  // gives at most 1023 characters).
  std::string text(int row, int column);
  std::vector<std::string> row(int row);
  std::vector<std::string> headers();
  // Selects the row (and gives it the caret), as a click does.
  void select(int row);
  // A row's place in the list view's client area.
  RECT rowRect(int row);

 private:
  // The structure `bytes` written to the other process, the message sent
  // with its address, and the structure read back.
  LRESULT send(UINT message, WPARAM wParam, void* structure, std::size_t bytes);
  // The text buffer's first `length` characters, up to a terminating zero.
  std::wstring remoteText(std::size_t length);
  void* textBuffer() const;

  HWND list_;
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

}  // namespace kvtest
