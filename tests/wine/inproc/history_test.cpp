// The history file and the History window on Windows: appends shared by
// two writers, the move aside past the limit, and the window's list.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/history_file_win32.h"
#include "app/history_window_win32.h"
#include "resources/resource_ids.h"
#include "schedule/file_io_win32.h"
#include "window_search_win32.h"

namespace {

// In a folder named beyond the ANSI code page, as a user's profile folder
// may be.
class HistoryFileTest : public ::testing::Test {
 protected:
  HistoryFileTest() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    folder = std::string(temp) + "kv-history-Ελλάδα-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(kvtest::wideOf(folder).c_str(), nullptr);
  }
  ~HistoryFileTest() override {
    DeleteFileW(kvtest::wideOf(path()).c_str());
    DeleteFileW(kvtest::wideOf(folder + "\\history.1.tsv").c_str());
    RemoveDirectoryW(kvtest::wideOf(folder).c_str());
  }
  std::string path() const { return folder + "\\history.tsv"; }
  std::string folder;
};

kv::HistoryRecord record(const std::string& description, const std::string& outcome,
                         kv::Time attempted) {
  kv::HistoryRecord r;
  r.attempted = r.due = attempted;
  r.description = description;
  r.commandLine = "C:\\tools\\" + description + ".exe";
  r.outcome = outcome;
  return r;
}

std::string fileBytes(const std::string& path) {
  return kv::readWholeFile(path).bytes;
}

// Two processes append 1,000 lines each to one history at the same time:
// every line is whole and parses, and each writer's lines are all there.
TEST_F(HistoryFileTest, TwoWritersAtOnceNeverTearOrMixALine) {
  std::vector<PROCESS_INFORMATION> writers;
  for (const char* id : {"first", "second"}) {
    std::string line =
        std::string("\"") + KV_HISTORY_WRITER_PATH + "\" \"" + path() + "\" 1000 " + id;
    std::wstring wideLine = kvtest::wideOf(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    writers.push_back(process);
  }
  for (const PROCESS_INFORMATION& process : writers) {
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  const std::string bytes = fileBytes(path());
  ASSERT_EQ(bytes.rfind(std::string(kv::kHistoryHeader) + "\r\n", 0), 0u);
  const std::vector<kv::HistoryRecord> records = kv::parseHistory(bytes);
  ASSERT_EQ(records.size(), 2000u);
  int first = 0;
  for (const kv::HistoryRecord& r : records) first += r.description.rfind("first ", 0) == 0;
  EXPECT_EQ(first, 1000);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2001);
}

// Past the limit the file moves aside and a new one starts; neither grows
// beyond the limit, and both begin with the header.
TEST_F(HistoryFileTest, AFullHistoryMovesAsideAndBothFilesKeepTheirBound) {
  kv::HistoryFile file(path());
  const std::string line = kv::historyLine(record("job", "started", 1700000000u));
  const auto lines = static_cast<std::size_t>(kv::kHistoryLimit / (line.size() + 2) + 50);
  for (std::size_t n = 0; n < lines; ++n) ASSERT_TRUE(file.append(line));
  const std::string earlier = fileBytes(folder + "\\history.1.tsv");
  const std::string current = fileBytes(path());
  EXPECT_LE(std::uint64_t{earlier.size()}, kv::kHistoryLimit);
  EXPECT_LE(std::uint64_t{current.size()}, kv::kHistoryLimit);
  EXPECT_EQ(earlier.rfind(std::string(kv::kHistoryHeader), 0), 0u);
  EXPECT_EQ(current.rfind(std::string(kv::kHistoryHeader), 0), 0u);
  EXPECT_EQ(kv::parseHistory(file.readAll()).size(), lines);
}

std::wstring itemText(HWND list, int row, int column) {
  wchar_t text[256] = L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 256;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::wstring clipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Newest first, failures marked; Copy puts the selected lines on the
// clipboard.
TEST_F(HistoryFileTest, TheWindowListsTheNewestFirstAndCopiesTheSelectedLines) {
  kv::HistoryFile file(path());
  file.append(kv::historyLine(record("older", "started", 1700000000u)));
  file.append(kv::historyLine(record("newer Отчёт 📅", "File not found", 1700000060u)));
  std::vector<std::wstring> seen;
  std::wstring copied;
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  std::thread script([&] {
    HWND window = kvtest::waitForDialog(GetCurrentProcessId(), "History");
    if (!window) return;
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    for (int row = 0; row < 2; ++row) {
      seen.push_back(itemText(list, row, 1) + L"|" + itemText(list, row, 3));
    }
    LVITEMW selected{};
    selected.stateMask = selected.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    kvtest::pressButton(window, IDC_HISTORY_COPY);
    for (int tries = 0; tries < 100 && copied.empty(); ++tries) {
      Sleep(20);
      copied = clipboardText();
    }
    kvtest::pressButton(window, IDCANCEL);
  });
  EXPECT_TRUE(kv::showHistoryWindow(GetModuleHandleA(nullptr), nullptr,
                                    {[&] { return file.readAll(); }, ""}));
  script.join();
  EXPECT_EQ(seen,
            (std::vector<std::wstring>{L"newer Отчёт 📅|Failed: File not found", L"older|started"}));
  EXPECT_NE(
      copied.find(L"\tnewer Отчёт 📅\tC:\\tools\\newer Отчёт 📅.exe\tFailed: File not found\r\n"),
      std::wstring::npos);
  EXPECT_EQ(copied.find(L"older"), std::wstring::npos);
}

// A watched start's end, a line of its own written after later starts,
// shows in its start's row: one row a start, newest first.
TEST_F(HistoryFileTest, TheWindowShowsEachStartOnceWithItsEnd) {
  const kv::HistoryRecord backup = record("backup", "running", 1700000000u);
  const kv::HistoryRecord mail = record("mail", "running", 1700000060u);
  kv::HistoryFile file(path());
  for (const kv::HistoryRecord& r :
       {backup, mail, kv::endRecord(backup, "exited 0xC0000005 after 2 min 5 s"),
        record("gone", "File not found", 1700000120u), kv::endRecord(mail, "exited 1 after 3 s"),
        record("week", "running", 1700000180u)}) {
    file.append(kv::historyLine(r));
  }
  std::vector<std::wstring> seen;
  std::thread script([&] {
    HWND window = kvtest::waitForDialog(GetCurrentProcessId(), "History");
    if (!window) return;
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    const auto rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
      seen.push_back(itemText(list, row, 1) + L"|" + itemText(list, row, 3));
    }
    kvtest::pressButton(window, IDCANCEL);
  });
  EXPECT_TRUE(kv::showHistoryWindow(GetModuleHandleA(nullptr), nullptr,
                                    {[&] { return file.readAll(); }, ""}));
  script.join();
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"week|still running", L"gone|Failed: File not found",
                                             L"mail|exited 1 after 3 s",
                                             L"backup|exited 0xC0000005 after 2 min 5 s"}));
}

int columnWidth(HWND list, int column) {
  return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

std::wstring headerText(HWND list, int column) {
  wchar_t text[64] = L"";
  LVCOLUMNW item{};
  item.mask = LVCF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return text;
}

int stringWidth(HWND list, const std::wstring& text) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

// The room a list view leaves beside a cell's text when it fits a column.
constexpr int kCellMargins = 12;

// Each column opens at least as wide as its title and the texts it shows,
// and the time column as the longest time, also one below the rows shown;
// a width the user gave a column wins, and one the user sets comes back.
TEST_F(HistoryFileTest, ColumnsOpenWideEnoughForTheirTextsAndReturnTheWidthsTheUserSet) {
  constexpr std::optional<int> none;
  constexpr kv::Time kNewYear = 1704070800u;  // 1 January 2024, 01:00 UTC
  kv::HistoryFile file(path());
  // The oldest, at the foot of the list: 28 December 2023 at 23:59 UTC.
  file.append(kv::historyLine(record("job", "started", 1703807940u)));
  for (kv::Time n = 1; n < 40; ++n) {
    file.append(kv::historyLine(record("job", "started", kNewYear + n * 60)));
  }
  kv::HistoryRecord longest = record(std::string(80, 'W'), std::string(90, 'M'), kNewYear + 3000);
  longest.commandLine = "C:\\Program Files\\" + std::string(70, 'W') + ".exe /all";
  file.append(kv::historyLine(longest));
  kv::HistoryWindowValues values{[&] { return file.readAll(); }, "", {none, 333, none, none}};
  std::vector<int> opened, needed;
  std::thread script([&] {
    HWND window = kvtest::waitForDialog(GetCurrentProcessId(), "History");
    if (!window) return;
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    for (int column = 0; column < 4; ++column) {
      opened.push_back(columnWidth(list, column));
      int widest = stringWidth(list, headerText(list, column));
      for (int row : {0, 40}) {
        widest = std::max(widest, stringWidth(list, itemText(list, row, column)));
      }
      needed.push_back(widest + kCellMargins);
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(321, 0));
    kvtest::pressButton(window, IDCANCEL);
  });
  const std::optional<kv::ColumnWidths> kept =
      kv::showHistoryWindow(GetModuleHandleA(nullptr), nullptr, values);
  script.join();
  ASSERT_EQ(opened.size(), 4u);
  for (std::size_t column : {0u, 2u, 3u}) {
    EXPECT_GE(opened[column], needed[column]) << column;
  }
  EXPECT_EQ(opened[1], 333);
  EXPECT_EQ(kept, (kv::ColumnWidths{none, 333, 321, none}));
}

}  // namespace
