#include "app/history_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_box_win32.h"
#include "editor/dialog_procedure_win32.h"
#include "engine/history.h"
#include "locale/regional_settings_win32.h"
#include "schedule/code_pages_win32.h"
#include "resources/resource_ids.h"

namespace kv {
namespace {

constexpr std::array<const wchar_t*, kHistoryColumnCount> kColumnTitles = {
    L"Time", L"Description", L"Command Line", L"Result"};

constexpr std::size_t kTimeColumn = 0;

// Room a list view leaves beside a cell's text (its own fitting adds 12
// pixels), with a few to spare for the first column's indent.
constexpr int kCellPadding = 16;

using Row = std::array<std::wstring, kHistoryColumnCount>;

struct WindowState {
  const HistoryWindowValues& values;
  // Newest first, each start's four texts as the list shows them.
  std::vector<Row> rows;
  // The widths the columns opened with, and the widths to keep on closing.
  std::vector<int> openedWidths;
  ColumnWidths toKeep;
};

// A start with what became of it: a failure is marked, an end reads as the
// history has it ("exited 1 after 3 s").
Row rowOf(const HistoryRecord& record) {
  return {toWide(formatStartTime(record.attempted)), toWide(record.description),
          toWide(record.commandLine),
          toWide(record.failed() ? "Failed: " + record.outcome : record.outcome)};
}

WindowState& stateOf(HWND dialog) {
  return *reinterpret_cast<WindowState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND listOf(HWND dialog) {
  return GetDlgItem(dialog, IDC_HISTORY_LIST);
}

void load(HWND dialog, WindowState& state) {
  const std::vector<HistoryRecord> starts = startsWithOutcomes(parseHistory(state.values.read()));
  state.rows.clear();
  state.rows.reserve(starts.size());
  for (auto start = starts.rbegin(); start != starts.rend(); ++start) {
    state.rows.push_back(rowOf(*start));
  }
  SendMessageW(listOf(dialog), LVM_SETITEMCOUNT, state.rows.size(), 0);
  InvalidateRect(listOf(dialog), nullptr, TRUE);
}

void addColumns(HWND list) {
  SendMessageW(list, LVM_SETUNICODEFORMAT, TRUE, 0);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kColumnTitles.size(); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(kColumnTitles[i]);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

int textWidth(HWND list, const wchar_t* text) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
}

// The rows the list shows from its top, the last one perhaps in part.
// Measuring every row of a full history would take a third of a second
// more; these few take no time.
std::size_t rowsShown(HWND list, const WindowState& state) {
  const auto perPage = static_cast<std::size_t>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  return std::min(state.rows.size(), perPage + 1);
}

// Times differ in their length (a two-digit month, day or hour) and hardly
// otherwise: the longest anywhere in the history is as wide as any, give or
// take the padding's spare pixels, so no time further down is cut.
const std::wstring& longestTime(const WindowState& state) {
  return (*std::max_element(state.rows.begin(), state.rows.end(), [](const Row& a, const Row& b) {
    return a[kTimeColumn].size() < b[kTimeColumn].size();
  }))[kTimeColumn];
}

// As wide as the column's title and its widest text among the rows shown.
int fittedWidth(HWND list, const WindowState& state, std::size_t column) {
  int widest = textWidth(list, kColumnTitles[column]);
  const std::size_t shown = rowsShown(list, state);
  for (std::size_t row = 0; row < shown; ++row) {
    widest = std::max(widest, textWidth(list, state.rows[row][column].c_str()));
  }
  if (column == kTimeColumn && !state.rows.empty()) {
    widest = std::max(widest, textWidth(list, longestTime(state).c_str()));
  }
  return widest + kCellPadding;
}

// A width the user gave a column wins; the others fit what they show.
void sizeColumns(HWND list, WindowState& state) {
  const ColumnWidths& kept = state.values.columnWidths;
  state.openedWidths.clear();
  for (std::size_t column = 0; column < kColumnTitles.size(); ++column) {
    const std::optional<int> keptWidth = column < kept.size() ? kept[column] : std::nullopt;
    const int width = keptWidth ? *keptWidth : fittedWidth(list, state, column);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
    state.openedWidths.push_back(
        static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
  }
}

// Called as the window closes, while the list still has the widths the
// user left it with.
void noteWidthsToKeep(HWND dialog, WindowState& state) {
  std::vector<int> closing;
  for (std::size_t column = 0; column < kColumnTitles.size(); ++column) {
    closing.push_back(
        static_cast<int>(SendMessageW(listOf(dialog), LVM_GETCOLUMNWIDTH, column, 0)));
  }
  state.toKeep = widthsToKeep(state.values.columnWidths, state.openedWidths, closing);
}

void onInitDialog(HWND dialog, WindowState& state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  addColumns(listOf(dialog));
  SetDlgItemTextW(dialog, IDC_HISTORY_NOTE, toWide(state.values.note).c_str());
  load(dialog, state);
  sizeColumns(listOf(dialog), state);
}

// The texts of one row asked for by the list, which holds none itself.
void onGetDisplayInfo(WindowState& state, NMLVDISPINFOW& info) {
  const auto row = static_cast<std::size_t>(info.item.iItem);
  const auto column = static_cast<std::size_t>(info.item.iSubItem);
  if (!(info.item.mask & LVIF_TEXT) || row >= state.rows.size() || column >= kColumnTitles.size()) {
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
      noteWidthsToKeep(dialog, stateOf(dialog));
      EndDialog(dialog, id);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
}

INT_PTR CALLBACK historyProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // A history too large for memory: the window closes; nothing is lost.
  return guardedDialogMessage(
      dialog, message, [&] { return handleMessage(dialog, message, wParam, lParam); }, [] {});
}

}  // namespace

std::optional<ColumnWidths> showHistoryWindow(HINSTANCE instance, HWND owner,
                                              const HistoryWindowValues& values) {
  WindowState state{values, {}, {}, values.columnWidths};
  if (runDialog(instance, owner, IDD_HISTORY, historyProcedure, reinterpret_cast<LPARAM>(&state)) ==
      -1) {
    return std::nullopt;
  }
  return state.toKeep;
}

}  // namespace kv
