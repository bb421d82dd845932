#include "app/history_window_win32.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "app/dialog_box_win32.h"
#include "engine/history.h"
#include "locale/regional_settings_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

struct Column {
  const wchar_t* title;
  int width;  // in pixels at 96 dots per inch
};
constexpr std::array<Column, 4> kColumns = {{
    {L"Time", 110},
    {L"Description", 150},
    {L"Command Line", 230},
    {L"Result", 250},
}};

struct WindowState {
  const HistoryWindowValues& values;
  // Newest first, each record's four texts as the list shows them.
  std::vector<std::array<std::wstring, 4>> rows;
};

std::wstring wideFromUtf8(std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::wstring wideFromAnsi(std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::array<std::wstring, 4> rowOf(const HistoryRecord& record) {
  return {wideFromAnsi(formatStartTime(record.attempted)), wideFromUtf8(record.description),
          wideFromUtf8(record.commandLine),
          wideFromUtf8(record.failed() ? "Failed: " + record.outcome : record.outcome)};
}

WindowState& stateOf(HWND dialog) {
  return *reinterpret_cast<WindowState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HWND listOf(HWND dialog) {
  return GetDlgItem(dialog, IDC_HISTORY_LIST);
}

void load(HWND dialog, WindowState& state) {
  const std::vector<HistoryRecord> records = parseHistory(state.values.read());
  state.rows.clear();
  state.rows.reserve(records.size());
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    state.rows.push_back(rowOf(*record));
  }
  SendMessageW(listOf(dialog), LVM_SETITEMCOUNT, state.rows.size(), 0);
  InvalidateRect(listOf(dialog), nullptr, TRUE);
}

void addColumns(HWND list) {
  SendMessageW(list, LVM_SETUNICODEFORMAT, TRUE, 0);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.cx = kColumns[i].width;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void onInitDialog(HWND dialog, WindowState& state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  addColumns(listOf(dialog));
  SetDlgItemTextA(dialog, IDC_HISTORY_NOTE, state.values.note.c_str());
  load(dialog, state);
}

// The texts of one row asked for by the list, which holds none itself.
void onGetDisplayInfo(WindowState& state, NMLVDISPINFOW& info) {
  const auto row = static_cast<std::size_t>(info.item.iItem);
  const auto column = static_cast<std::size_t>(info.item.iSubItem);
  if (!(info.item.mask & LVIF_TEXT) || row >= state.rows.size() || column >= kColumns.size()) {
    return;
  }
  info.item.pszText = const_cast<wchar_t*>(state.rows[row][column].c_str());
}

std::wstring selectedText(HWND dialog, const WindowState& state) {
  std::wstring text;
  for (int row = -1;
       (row = static_cast<int>(SendMessageW(listOf(dialog), LVM_GETNEXTITEM,
                                            static_cast<WPARAM>(row), LVNI_SELECTED))) != -1;) {
    const auto& cells = state.rows[static_cast<std::size_t>(row)];
    text += cells[0] + L"\t" + cells[1] + L"\t" + cells[2] + L"\t" + cells[3] + L"\r\n";
  }
  return text;
}

void copyToClipboard(HWND dialog, const std::wstring& text) {
  if (text.empty() || !OpenClipboard(dialog)) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    CopyMemory(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

INT_PTR onCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_HISTORY_REFRESH:
      load(dialog, stateOf(dialog));
      return TRUE;
    case IDC_HISTORY_COPY:
      copyToClipboard(dialog, selectedText(dialog, stateOf(dialog)));
      return TRUE;
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, id);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK historyProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG && GetWindowLongPtrA(dialog, DWLP_USER) == 0) return FALSE;
  try {
    switch (message) {
      case WM_INITDIALOG:
        onInitDialog(dialog, *reinterpret_cast<WindowState*>(lParam));
        return TRUE;
      case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam));
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_HISTORY_LIST && header->code == LVN_GETDISPINFOW) {
          onGetDisplayInfo(stateOf(dialog), *reinterpret_cast<NMLVDISPINFOW*>(lParam));
          return TRUE;
        }
        return FALSE;
      }
      default:
        return FALSE;
    }
  } catch (...) {
    // A history too large for memory: the window closes; nothing is lost.
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}

}  // namespace

bool showHistoryWindow(HINSTANCE instance, HWND owner, const HistoryWindowValues& values) {
  WindowState state{values, {}};
  return runDialog(instance, owner, IDD_HISTORY, historyProcedure,
                   reinterpret_cast<LPARAM>(&state)) != -1;
}

}  // namespace kv
