#include "remote_list_view_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "window_search_win32.h"

namespace kvtest {
namespace {

// The structure goes first, the text buffer after it.
constexpr std::size_t kStructureRoom = 256;
constexpr int kTextRoom = 1024;  // characters
constexpr std::size_t kMemory = kStructureRoom + kTextRoom * sizeof(wchar_t);

}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  process_ =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (process_) {
    memory_ = VirtualAllocEx(process_, nullptr, kMemory, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
}

RemoteListView::~RemoteListView() {
  if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

void* RemoteListView::textBuffer() const {
  return static_cast<char*>(memory_) + kStructureRoom;
}

LRESULT RemoteListView::send(UINT message, WPARAM wParam, void* structure, std::size_t bytes) {
  if (!memory_) return -1;
  WriteProcessMemory(process_, memory_, structure, bytes, nullptr);
  const LRESULT result = SendMessageW(list_, message, wParam, reinterpret_cast<LPARAM>(memory_));
  ReadProcessMemory(process_, memory_, structure, bytes, nullptr);
  return result;
}

std::wstring RemoteListView::remoteText(std::size_t length) {
  std::wstring text(std::min<std::size_t>(length, kTextRoom), L'\0');
  ReadProcessMemory(process_, textBuffer(), text.data(), text.size() * sizeof(wchar_t), nullptr);
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

int RemoteListView::count() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::selected() const {
  return static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string RemoteListView::text(int row, int column) {
  if (!memory_) return "<no memory in the process>";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = static_cast<wchar_t*>(textBuffer());
  item.cchTextMax = kTextRoom;
  // The answer is the text's length: only so much is read back.
  const LRESULT length = send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), &item, sizeof item);
  return utf8Of(remoteText(length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::vector<std::string> RemoteListView::row(int row) {
  const int columns = static_cast<int>(SendMessageW(
      reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
  std::vector<std::string> cells;
  for (int column = 0; column < columns; ++column) cells.push_back(text(row, column));
  return cells;
}

std::vector<std::string> RemoteListView::headers() {
  std::vector<std::string> titles;
  for (int column = 0;; ++column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.pszText = static_cast<wchar_t*>(textBuffer());
    header.cchTextMax = kTextRoom;
    if (send(LVM_GETCOLUMNW, static_cast<WPARAM>(column), &header, sizeof header) <= 0) break;
    titles.push_back(utf8Of(remoteText(kTextRoom)));
  }
  return titles;
}

void RemoteListView::select(int row) {
  LVITEMW item{};
  // The selection goes from its row first: a list view of many rows walks
  // them all to clear a selection it holds.
  const int old = selected();
  if (old >= 0 && old != row) {
    item.stateMask = LVIS_SELECTED;
    send(LVM_SETITEMSTATE, static_cast<WPARAM>(old), &item, sizeof item);
  }
  item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item, sizeof item);
}

RECT RemoteListView::rowRect(int row) {
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  send(LVM_GETITEMRECT, static_cast<WPARAM>(row), &rect, sizeof rect);
  return rect;
}

}  // namespace kvtest
