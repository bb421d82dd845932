// Times the real kv.exe on a large schedule under Wine:
//   kv_large_bench SCHEDULE ROWS MARK rows|details [edits]
// starts kv.exe with SCHEDULE in that view (View in KV.INI, put back
// afterwards) and times it from CreateProcess until the view's list holds
// ROWS rows. Then it creates the file MARK.shown and waits for MARK.read, so
// that the script reads the process's memory while the list shows. With
// "edits" it then times switching to the other view and back, and five of
// each edit, each from the step that sets it going until the list shows it,
// and prints the median. It measures; it never passes or fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <commctrl.h>

#include "bench/milliseconds_win32.h"
#include "editor/entry_form.h"
#include "kivro_process_win32.h"
#include "remote_list_view_win32.h"
#include "resources/resource_ids.h"

namespace {

using kvtest::KivroProcess;

constexpr int kRepeats = 5;
constexpr DWORD kOpenTimeoutMs = 20 * 60 * 1000;
constexpr DWORD kEditTimeoutMs = 2 * 60 * 1000;
constexpr const char* kEntryDialog = "Add/Edit Time";
constexpr const char* kQuestion = "Confirmation";

using kvbench::now;

// Polls a few milliseconds apart; false after the timeout.
bool waitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  const double until = now() + timeoutMs;
  while (!done()) {
    if (now() > until) return false;
    Sleep(2);
  }
  return true;
}

// The first visible top-level window of the process with this class and
// caption (any caption when null).
HWND findWindow(DWORD processId, const char* className, const char* caption) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, caption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// A list's row count (a list box's, or with `details` a list view's), or
// -1 while kv.exe does not answer.
int rowCount(HWND list, bool details = false) {
  DWORD_PTR count = 0;
  const UINT message = details ? LVM_GETITEMCOUNT : LB_GETCOUNT;
  if (!SendMessageTimeoutA(list, message, 0, 0, SMTO_NORMAL, 1000, &count)) return -1;
  return static_cast<int>(count);
}

std::string rowText(HWND list, int row) {
  const auto index = static_cast<WPARAM>(row);
  const int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, index, 0));
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return std::string(text.begin(), text.end());
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void setText(HWND dialog, int id, const std::string& value) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

// The list of the view shown, as the edits read it.
class ShownList {
 public:
  ShownList(KivroProcess& kivro, bool details)
      : list_(details ? kivro.details() : kivro.list()), details_(details) {
    if (details) view_ = std::make_unique<kvtest::RemoteListView>(list_);
  }
  int count() const { return rowCount(list_, details_); }
  bool waitForRows(int rows, DWORD timeoutMs) const {
    return waitFor([&] { return count() == rows; }, timeoutMs);
  }
  // Whether the row shows the entry of this description.
  bool shows(int row, const std::string& description) const {
    if (view_) return view_->text(row, kDescriptionColumn) == description;
    return endsWith(rowText(list_, row), " " + description);
  }

 private:
  static constexpr int kDescriptionColumn = 3;
  HWND list_;
  bool details_;
  std::unique_ptr<kvtest::RemoteListView> view_;
};

double median(std::vector<double> times) {
  if (times.empty()) return -1;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void print(const char* name, const std::vector<double>& times) {
  std::printf("%s=%.1f\n", name, times.size() == kRepeats ? median(times) : -1.0);
  std::printf("%s_all=", name);
  for (double t : times) std::printf(" %.1f", t);
  std::printf("\n");
  std::fflush(stdout);
}

class Bench {
 public:
  Bench(KivroProcess& kivro, bool details, int rows)
      : kivro_(kivro), list_(kivro, details), details_(details), rows_(rows) {}
  void run();

 private:
  void switchViews();
  bool switchTo(bool details, std::vector<double>& times);
  bool removeAfterYes(int command, std::vector<double>& asked, std::vector<double>& removed);
  bool paste(std::vector<double>& times);
  bool add(int n, std::vector<double>& times);
  bool edit(int n, std::vector<double>& times);
  HWND editSteadyRow(int& row);
  void repeat(const char* step, const std::function<bool(int)>& once);
  // A row well inside the list, a different one each time.
  int someRow(int n) const { return rows_ / 2 + 7 * n; }

  KivroProcess& kivro_;
  ShownList list_;
  bool details_;
  int rows_;
};

// Delete, or Cut (which asks the same question): the time from the command
// until the question shows, and from Yes until the row is gone.
bool Bench::removeAfterYes(int command, std::vector<double>& asked, std::vector<double>& removed) {
  kivro_.selectRow(someRow(static_cast<int>(removed.size())));
  const double started = now();
  kivro_.command(command);
  HWND box = nullptr;
  if (!waitFor([&] { return (box = findWindow(kivro_.id(), "#32770", kQuestion)) != nullptr; },
               kEditTimeoutMs)) {
    return false;
  }
  asked.push_back(now() - started);
  const double yes = now();
  kvtest::pressButton(box, IDYES);
  if (!list_.waitForRows(rows_ - 1, kEditTimeoutMs)) return false;
  removed.push_back(now() - yes);
  --rows_;
  return kvtest::waitUntilGone(box);
}

bool Bench::paste(std::vector<double>& times) {
  const double started = now();
  kivro_.command(IDM_PASTE);
  if (!list_.waitForRows(rows_ + 1, kEditTimeoutMs)) return false;
  times.push_back(now() - started);
  ++rows_;
  return true;
}

// A one-time entry four years ahead (so that it is not due), starting
// Notepad; timed from OK.
bool Bench::add(int n, std::vector<double>& times) {
  kivro_.command(IDM_ADD);
  HWND dialog = kivro_.waitForDialog(kEntryDialog, kEditTimeoutMs);
  if (!dialog) return false;
  const int year = std::atoi(kvtest::windowText(GetDlgItem(dialog, IDC_START_YEAR)).c_str());
  setText(dialog, IDC_START_YEAR, std::to_string(year + 4));
  setText(dialog, IDC_COMMAND_LINE, "C:\\windows\\notepad.exe");
  setText(dialog, IDC_DESCRIPTION, "Added " + std::to_string(n));
  const double ok = now();
  kvtest::pressButton(dialog, IDOK);
  if (!list_.waitForRows(rows_ + 1, kEditTimeoutMs)) return false;
  times.push_back(now() - ok);
  ++rows_;
  return kvtest::waitUntilGone(dialog);
}

// Opens the Edit dialog on a row near `row` whose entry keeps its day when
// filed: Weekdays and Month End move a start to their own days, far from
// its row. Sets `row` to the row chosen.
HWND Bench::editSteadyRow(int& row) {
  constexpr int kTries = 20;
  for (int tried = 0; tried < kTries; ++tried, ++row) {
    kivro_.selectRow(row);
    kivro_.command(IDM_EDIT);
    HWND dialog = kivro_.waitForDialog(kEntryDialog, kEditTimeoutMs);
    if (!dialog) return nullptr;
    const LRESULT frequency = SendDlgItemMessageA(dialog, IDC_FREQUENCY, CB_GETCURSEL, 0, 0);
    if (frequency != kv::kWeekdaysIndex && frequency != kv::kMonthEndIndex) return dialog;
    kvtest::pressButton(dialog, IDCANCEL);
    if (!kvtest::waitUntilGone(dialog)) return nullptr;
  }
  return nullptr;
}

// A new description for a row; timed from OK until a row near its place
// shows it (the rows are read from its place outward). The dialog files the start at second 1 of
// its minute, so the entry may move among the rows of that minute (a few at a million entries). The
// command line becomes Notepad as well: the schedule's programs are not there, and OK on one of
// them would first warn of its path.
bool Bench::edit(int n, std::vector<double>& times) {
  constexpr int kNear = 32;
  int row = someRow(n);
  HWND dialog = editSteadyRow(row);
  if (!dialog) return false;
  const std::string description = "Edited " + std::to_string(n);
  setText(dialog, IDC_DESCRIPTION, description);
  setText(dialog, IDC_COMMAND_LINE, "C:\\windows\\notepad.exe");
  const double ok = now();
  kvtest::pressButton(dialog, IDOK);
  const bool shown = waitFor(
      [&] {
        if (list_.count() != rows_) return false;
        // Nearest first: each row read is a round trip to kv.exe.
        for (int distance = 0; distance <= kNear; ++distance) {
          for (const int r : {row + distance, row - distance}) {
            if (r >= 0 && r < rows_ && list_.shows(r, description)) return true;
          }
        }
        return false;
      },
      kEditTimeoutMs);
  if (!shown) return false;
  times.push_back(now() - ok);
  return kvtest::waitUntilGone(dialog);
}

// Runs one edit kRepeats times, stopping at the first that does not come
// through.
void Bench::repeat(const char* step, const std::function<bool(int)>& once) {
  for (int n = 0; n < kRepeats; ++n) {
    if (!once(n)) {
      std::printf("error=%s did not come through (%d rows expected, %d shown)\n", step, rows_,
                  list_.count());
      std::fflush(stdout);
      return;
    }
  }
}

// The view chosen from the menu, from the command until the other view's
// list holds every row and the one it leaves none.
bool Bench::switchTo(bool details, std::vector<double>& times) {
  const double started = now();
  kivro_.command(details ? IDM_VIEW_DETAILS : IDM_VIEW_ROWS);
  const bool switched = waitFor(
      [&] {
        return rowCount(kivro_.details(), true) == (details ? rows_ : 0) &&
               rowCount(kivro_.list()) == (details ? 0 : rows_) &&
               IsWindowVisible(details ? kivro_.details() : kivro_.list());
      },
      kOpenTimeoutMs);
  if (switched) times.push_back(now() - started);
  return switched;
}

void Bench::switchViews() {
  std::vector<double> toOther, back;
  if (!switchTo(!details_, toOther) || !switchTo(details_, back)) {
    std::printf("error=switching views did not come through\n");
  }
  std::printf("switch_to_%s_ms=%.1f\n", details_ ? "rows" : "details",
              toOther.empty() ? -1.0 : toOther.front());
  std::printf("switch_to_%s_ms=%.1f\n", details_ ? "details" : "rows",
              back.empty() ? -1.0 : back.front());
  std::fflush(stdout);
}

void Bench::run() {
  switchViews();
  std::vector<double> deleteAsked, deleted, cutAsked, cut, pasted, added, edited;
  repeat("Delete", [&](int) { return removeAfterYes(IDM_DELETE, deleteAsked, deleted); });
  repeat("Cut or Paste",
         [&](int) { return removeAfterYes(IDM_CUT, cutAsked, cut) && paste(pasted); });
  repeat("Add", [&](int n) { return add(n, added); });
  repeat("Edit", [&](int n) { return edit(n, edited); });
  print("delete_ask_ms", deleteAsked);
  print("delete_ms", deleted);
  print("cut_ask_ms", cutAsked);
  print("cut_ms", cut);
  print("paste_ms", pasted);
  print("add_ms", added);
  print("edit_ms", edited);
}

// Creates MARK.shown and waits up to a minute for MARK.read.
void handOverForMemory(const std::string& mark) {
  kvtest::writeFile(mark + ".shown", "");
  waitFor([&] { return kvtest::fileExists(mark + ".read"); }, 60000);
}

int benchmark(const std::string& schedule, int rows, const std::string& mark, bool details,
              bool edits) {
  const kvtest::ScopedSetting view("View", details ? "Details" : "Rows");
  const double started = now();
  KivroProcess kivro("\"" + schedule + "\"");
  HWND main = nullptr;
  if (!waitFor([&] { return (main = findWindow(kivro.id(), "KV", nullptr)) != nullptr; },
               kOpenTimeoutMs)) {
    std::printf("error=no main window\n");
    return 1;
  }
  const ShownList list(kivro, details);
  const double remaining = kOpenTimeoutMs - (now() - started);
  if (!list.waitForRows(rows, static_cast<DWORD>(std::max(remaining, 0.0)))) {
    std::printf("error=the list did not reach %d rows (it holds %d)\n", rows, list.count());
    return 1;
  }
  std::printf("open_ms=%.1f\n", now() - started);
  std::fflush(stdout);
  handOverForMemory(mark);
  if (edits) Bench(kivro, details, rows).run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || argc > 6) {
    std::fprintf(stderr, "usage: kv_large_bench SCHEDULE ROWS MARK rows|details [edits]\n");
    return 2;
  }
  const bool details = std::string(argv[4]) == "details";
  const bool edits = argc == 6 && std::string(argv[5]) == "edits";
  return benchmark(argv[1], std::atoi(argv[2]), argv[3], details, edits);
}
