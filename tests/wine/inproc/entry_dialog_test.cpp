// The real Add/Edit dialog, in process: a second thread works the dialog
// while askEntry holds the test's thread in its modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/entry_dialog_win32.h"
#include "engine/calendar.h"
#include "modal_answerer_win32.h"
#include "resources/resource_ids.h"
#include "schedule/entry_line.h"
#include "window_search_win32.h"

namespace {

constexpr kv::Time kFarAhead = 2000000000u;  // 2033, never due in a test
constexpr const char* kDialogCaption = "Add/Edit Time";
constexpr const char* kNotepad = "C:\\windows\\notepad.exe";

kv::ScheduleEntry entry(kv::Time start, const std::string& description) {
  kv::ScheduleEntry e;
  e.start = start;
  e.end = start + 1000000u;
  e.frequency = 'D';
  e.showCommand = 4;
  e.commandLine = kNotepad;
  e.workingDirectory = "C:\\windows";
  e.description = description;
  return e;
}

// --- Working the dialog from the second thread -------------------------------

std::string text(HWND dialog, int id) {
  return kvtest::windowText(GetDlgItem(dialog, id));
}
void setText(HWND dialog, int id, const std::string& value) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}
int selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}
void choose(HWND dialog, int id, int index) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
bool enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
bool checked(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void arrow(HWND dialog, int arrowsId, int code) {
  SendMessageA(dialog, WM_VSCROLL, static_cast<WPARAM>(code),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, arrowsId)));
}
// The local time as yyyymmddhhmmss.
long long shown(kv::Time t) {
  const kv::LocalTime f = kv::toLocalTime(t);
  return ((f.year * 10000LL + f.month * 100 + f.day) * 100 + f.hour) * 10000 + f.minute * 100 +
         f.second;
}

// Presses OK and answers the box with this caption; returns its text.
std::string okAndAnswer(HWND dialog, const char* caption, int button) {
  kvtest::pressButton(dialog, IDOK);
  HWND box = kvtest::waitForDialog(GetCurrentProcessId(), caption);
  if (!box) {
    ADD_FAILURE() << "no box " << caption;
    return {};
  }
  std::string said = kvtest::messageBoxText(box);
  kvtest::pressButton(box, button);
  kvtest::waitUntilGone(box);
  return said;
}

// Runs steps against the entry dialog on a second thread. When the steps
// leave the dialog open, it is cancelled.
class DialogScript {
 public:
  explicit DialogScript(std::function<void(HWND)> steps)
      : thread_([this, steps] {
          HWND dialog = kvtest::waitForDialog(GetCurrentProcessId(), kDialogCaption);
          found_ = dialog != nullptr;
          if (!dialog) return;
          steps(dialog);
          if (IsWindowVisible(dialog)) kvtest::pressButton(dialog, IDCANCEL);
          kvtest::waitUntilGone(dialog);
        }) {}
  ~DialogScript() { finish(); }
  // Waits for the steps; true when the dialog came.
  bool finish() {
    if (thread_.joinable()) thread_.join();
    return found_;
  }

 private:
  bool found_ = false;
  std::thread thread_;
};

// --- The fixture ------------------------------------------------------------

class EntryDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    values.form = kv::formForAdd(kv::toLocalTime(kv::currentTime()));
    values.showHelp = [this](HWND dialog) { helpOwners.push_back(dialog); };
  }
  kv::EntryDialogResult ask() {
    values.programDirectory = programDir;
    kv::EntryDialogResult result = kv::askEntry(GetModuleHandleA(nullptr), nullptr, values);
    programDir = result.programDirectory;
    return result;
  }

  kv::EntryDialogValues values;
  std::string programDir;
  std::vector<HWND> helpOwners;
};

TEST_F(EntryDialog, AddOpensWithItsDefaultsAndGivesTheEntryOkAccepted) {
  DialogScript script([&](HWND dialog) {
    EXPECT_FALSE(enabled(dialog, IDOK));
    EXPECT_FALSE(enabled(dialog, IDC_END_DAY));
    EXPECT_FALSE(enabled(dialog, IDC_ENDING_LABEL));
    EXPECT_TRUE(enabled(dialog, IDC_END_COLON));
    EXPECT_EQ(selection(dialog, IDC_END_MONTH), 11);
    EXPECT_EQ(text(dialog, IDC_END_DAY) + text(dialog, IDC_END_YEAR) + text(dialog, IDC_END_HOUR) +
                  ":" + text(dialog, IDC_END_MINUTE),
              "3120351:00");
    EXPECT_TRUE(checked(dialog, IDC_END_PM));
    EXPECT_EQ(selection(dialog, IDC_FREQUENCY), 0);
    EXPECT_EQ(selection(dialog, IDC_RUN_MODE), 0);
    for (int id : {IDC_DESCRIPTION, IDC_COMMAND_LINE, IDC_WORKING_DIR})
      EXPECT_EQ(SendDlgItemMessageA(dialog, id, EM_GETLIMITTEXT, 0, 0), 253) << id;

    setText(dialog, IDC_COMMAND_LINE, kNotepad);
    EXPECT_TRUE(enabled(dialog, IDOK));
    choose(dialog, IDC_FREQUENCY, 4);  // Daily
    EXPECT_TRUE(enabled(dialog, IDC_END_DAY));
    choose(dialog, IDC_START_MONTH, 0);
    for (auto [id, value] : {std::pair{IDC_START_DAY, "5"},
                             {IDC_START_YEAR, "2034"},
                             {IDC_START_HOUR, "9"},
                             {IDC_START_MINUTE, "30"}})
      setText(dialog, id, value);
    SendDlgItemMessageA(dialog, IDC_START_PM, BM_CLICK, 0, 0);
    setText(dialog, IDC_DESCRIPTION, "Added");
    kvtest::pressButton(dialog, IDOK);
  });
  const kv::EntryDialogResult result = ask();
  ASSERT_TRUE(script.finish());
  ASSERT_TRUE(result.entry.has_value());
  const kv::ScheduleEntry& added = *result.entry;
  EXPECT_EQ(added.description, "Added");
  EXPECT_EQ(shown(added.start), 20340105213001);
  EXPECT_EQ(added.frequency, 'D');
  EXPECT_EQ(added.showCommand, 1);
  // The program's directory was remembered at OK; the entry uses it up.
  EXPECT_EQ(added.workingDirectory, "C:\\windows");
  EXPECT_TRUE(result.takesProgramDir);
}

TEST_F(EntryDialog, FieldsStepEnableAndDisableByTheirRules) {
  DialogScript script([&](HWND dialog) {
    choose(dialog, IDC_START_MONTH, 3);  // April
    setText(dialog, IDC_START_DAY, "31");
    arrow(dialog, IDC_START_DAY_ARROWS, SB_LINEUP);
    EXPECT_EQ(text(dialog, IDC_START_DAY), "30");
    setText(dialog, IDC_START_MINUTE, "7");
    arrow(dialog, IDC_START_MINUTE_ARROWS, SB_LINEUP);
    EXPECT_EQ(text(dialog, IDC_START_MINUTE), "08");
    arrow(dialog, IDC_END_HOUR_ARROWS, SB_LINEUP);
    EXPECT_EQ(text(dialog, IDC_END_HOUR), "2");
    arrow(dialog, IDC_END_YEAR_ARROWS, SB_THUMBTRACK);
    EXPECT_EQ(text(dialog, IDC_END_YEAR), "2035");

    choose(dialog, IDC_FREQUENCY, 8);  // Month End
    EXPECT_FALSE(enabled(dialog, IDC_START_DAY));
    EXPECT_FALSE(enabled(dialog, IDC_START_DAY_ARROWS));
    EXPECT_TRUE(enabled(dialog, IDC_END_MONTH));
    choose(dialog, IDC_FREQUENCY, 0);  // Once
    EXPECT_TRUE(enabled(dialog, IDC_START_DAY));
    EXPECT_FALSE(enabled(dialog, IDC_END_MONTH));

    SendDlgItemMessageA(dialog, IDC_BACKGROUND, BM_CLICK, 0, 0);
    choose(dialog, IDC_RUN_MODE, 2);  // Maximized
    EXPECT_FALSE(checked(dialog, IDC_BACKGROUND));
    EXPECT_FALSE(enabled(dialog, IDC_BACKGROUND));
    choose(dialog, IDC_RUN_MODE, 0);
    EXPECT_TRUE(enabled(dialog, IDC_BACKGROUND));
    EXPECT_FALSE(checked(dialog, IDC_BACKGROUND));

    EXPECT_TRUE(enabled(dialog, IDOK));  // opened for a dropped file
    setText(dialog, IDC_COMMAND_LINE, "");
    EXPECT_FALSE(enabled(dialog, IDOK));
    setText(dialog, IDC_COMMAND_LINE, "x");
    EXPECT_TRUE(enabled(dialog, IDOK));

    kvtest::pressButton(dialog, IDC_HELP_BUTTON);
    Sleep(100);
  });
  values.form.commandLine = kNotepad;
  EXPECT_FALSE(ask().entry.has_value());
  ASSERT_TRUE(script.finish());
  EXPECT_EQ(helpOwners.size(), 1u);
}

TEST_F(EntryDialog, EditShowsTheEntryCancelGivesNothingAndOkTheChangedEntry) {
  values.mode = kv::EditorMode::Edit;
  values.form = kv::formForEdit(entry(kFarAhead, "Entry 1"));
  DialogScript cancelled([&](HWND dialog) {
    EXPECT_EQ(text(dialog, IDC_DESCRIPTION), "Entry 1");
    EXPECT_EQ(text(dialog, IDC_COMMAND_LINE), kNotepad);
    EXPECT_EQ(selection(dialog, IDC_FREQUENCY), 4);
    EXPECT_TRUE(checked(dialog, IDC_BACKGROUND));
    EXPECT_TRUE(enabled(dialog, IDOK));
    setText(dialog, IDC_DESCRIPTION, "Not kept");
    kvtest::pressButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(ask().entry.has_value());
  ASSERT_TRUE(cancelled.finish());

  DialogScript changed([&](HWND dialog) {
    setText(dialog, IDC_DESCRIPTION, "Changed");
    kvtest::pressButton(dialog, IDOK);
  });
  const kv::EntryDialogResult result = ask();
  ASSERT_TRUE(changed.finish());
  ASSERT_TRUE(result.entry.has_value());
  EXPECT_EQ(result.entry->description, "Changed");
  EXPECT_EQ(shown(result.entry->start), shown(kFarAhead) / 100 * 100 + 1);  // second 1
  EXPECT_FALSE(result.takesProgramDir);
}

TEST_F(EntryDialog, PathWarningCancelStaysAndOkGoesOnToAOneTimeEnd) {
  const std::string missing = "C:\\nowhere\\missing.exe";
  DialogScript script([&](HWND dialog) {
    setText(dialog, IDC_COMMAND_LINE, missing + " /q");
    setText(dialog, IDC_DESCRIPTION, "Missing");
    setText(dialog, IDC_START_YEAR, "2034");  // not due while the test looks
    setText(dialog, IDC_END_YEAR, "1990");
    const std::string warning =
        "The path " + missing +
        " specified on the command line is invalid.\nIf you know this file is in your path you "
        "may disregard this warning";
    EXPECT_EQ(okAndAnswer(dialog, "Invalid Path Warning", IDCANCEL), warning);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(text(dialog, IDC_END_YEAR), "1990");
    EXPECT_EQ(okAndAnswer(dialog, "Invalid Path Warning", IDOK), warning);
  });
  const kv::EntryDialogResult result = ask();
  ASSERT_TRUE(script.finish());
  ASSERT_TRUE(result.entry.has_value());
  EXPECT_EQ(shown(result.entry->end), 20351231130059);
  EXPECT_EQ(result.entry->frequency, 'O');
}

// Text pasted beyond a field's limit stops at it, counted in characters as
// Windows counts them, and never in the middle of one: a letter beyond the
// Basic Multilingual Plane (two UTF-16 units) that does not fit is left out
// whole.
TEST_F(EntryDialog, PastedTextStopsAtTheLimitOnAWholeCharacter) {
  const auto repeated = [](const std::string& text, std::size_t times) {
    std::string all;
    for (std::size_t i = 0; i < times; ++i) all += text;
    return all;
  };
  const std::string chinese = "C:\\" + repeated("報", kv::kMaxText - 3);
  const struct Case {
    std::string commandLine, description;  // as pasted
    std::string keptCommandLine, keptDescription;
  } cases[] = {
      {chinese + "報", "報告", chinese, "報告"},
      {kNotepad, repeated("Ж", kv::kMaxText - 1) + "📅", kNotepad, repeated("Ж", kv::kMaxText - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keptDescription);
    DialogScript script([&](HWND dialog) {
      for (auto [id, pasted] :
           {std::pair{IDC_COMMAND_LINE, &c.commandLine}, {IDC_DESCRIPTION, &c.description}}) {
        const std::wstring wide = kvtest::wideOf(*pasted);
        SendDlgItemMessageW(dialog, id, EM_REPLACESEL, TRUE,
                            reinterpret_cast<LPARAM>(wide.c_str()));
      }
      setText(dialog, IDC_START_YEAR, "2034");  // not due while the test looks
      kvtest::pressButton(dialog, IDOK);
      // No such program: the warning, if any, is answered.
      if (HWND box = kvtest::waitForDialog(GetCurrentProcessId(), "Invalid Path Warning", 2000)) {
        kvtest::pressButton(box, IDOK);
      }
    });
    const kv::EntryDialogResult result = ask();
    ASSERT_TRUE(script.finish());
    ASSERT_TRUE(result.entry.has_value());
    EXPECT_EQ(result.entry->commandLine, c.keptCommandLine);
    EXPECT_EQ(result.entry->description, c.keptDescription);
  }
}

TEST_F(EntryDialog, AStartNotBeforeItsEndIsRefusedAndFilesNothing) {
  DialogScript script([&](HWND dialog) {
    setText(dialog, IDC_COMMAND_LINE, kNotepad);
    choose(dialog, IDC_FREQUENCY, 4);
    setText(dialog, IDC_END_YEAR, "1990");
    EXPECT_EQ(okAndAnswer(dialog, "Invalid Time", IDOK),
              "Start time must be earlier than end time.");
    EXPECT_TRUE(IsWindowVisible(dialog));
  });
  EXPECT_FALSE(ask().entry.has_value());
  ASSERT_TRUE(script.finish());
  // The Add's OK remembered the program's directory; nothing used it up.
  EXPECT_EQ(programDir, "C:\\windows");
}

TEST_F(EntryDialog, NoAssociationIsAskedOnlyWithTheSettingOn) {
  char folder[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  const std::string document = std::string(folder) + "kv-entry-dialog.kvnoassoc";
  HANDLE file = CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  values.associationWarning = true;
  {
    DialogScript script([&](HWND dialog) {
      setText(dialog, IDC_COMMAND_LINE, document);
      EXPECT_EQ(okAndAnswer(dialog, "No Association", IDCANCEL),
                "There is no association for " + document);
      EXPECT_TRUE(IsWindowVisible(dialog));
    });
    EXPECT_FALSE(ask().entry.has_value());
    ASSERT_TRUE(script.finish());
  }
  values.associationWarning = false;
  {
    DialogScript script([&](HWND dialog) {
      setText(dialog, IDC_COMMAND_LINE, document);
      setText(dialog, IDC_START_YEAR, "2034");
      kvtest::pressButton(dialog, IDOK);
      EXPECT_TRUE(kvtest::noWindowWithin(GetCurrentProcessId(), "#32770", "No Association", 300));
    });
    EXPECT_TRUE(ask().entry.has_value());
    ASSERT_TRUE(script.finish());
  }
  DeleteFileA(document.c_str());
}

// The pixels of the icon area that are not the window colour (the area
// reaches past the dialog's bottom edge; those pixels do not count).
int iconPixels(HWND dialog) {
  RECT area;
  GetWindowRect(GetDlgItem(dialog, IDC_ICON_PREVIEW), &area);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  HDC dc = GetDC(dialog);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF pixel = GetPixel(dc, x, y);
      if (pixel != CLR_INVALID && pixel != window) ++count;
    }
  }
  ReleaseDC(dialog, dc);
  return count;
}

TEST_F(EntryDialog, BrowseFillsTheCommandLineAndThePreviewShowsItsIconOrOnlyTheWindowColour) {
  int withProgram = -1, withNothing = -1;
  DialogScript script([&](HWND dialog) {
    kvtest::pressButton(dialog, IDC_BROWSE);
    HWND browse = kvtest::waitForDialog(GetCurrentProcessId(), "Browse");
    if (!browse) {
      ADD_FAILURE() << "no Browse dialog";
      return;
    }
    HWND combo = FindWindowExA(GetDlgItem(browse, 1148), nullptr, "ComboBox", nullptr);
    SendMessageA(FindWindowExA(combo, nullptr, "Edit", nullptr), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(kNotepad));
    kvtest::pressButton(browse, IDOK);
    kvtest::waitUntilGone(browse);
    Sleep(100);
    EXPECT_EQ(text(dialog, IDC_COMMAND_LINE), kNotepad);
    EXPECT_TRUE(enabled(dialog, IDOK));

    SendMessageA(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
    withProgram = iconPixels(dialog);
    setText(dialog, IDC_COMMAND_LINE, "");
    SendMessageA(dialog, WM_COMMAND, IDM_DRAW_ICON, 0);
    withNothing = iconPixels(dialog);
  });
  EXPECT_FALSE(ask().entry.has_value());
  ASSERT_TRUE(script.finish());
  EXPECT_EQ(programDir, "C:\\windows");
  EXPECT_GT(withProgram, 0);
  EXPECT_EQ(withNothing, 0);
}

}  // namespace
