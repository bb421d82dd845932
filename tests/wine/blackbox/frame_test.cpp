// The frame worked as a new user would: settings, the two flags, closing
// and ending the session with unsaved changes, hiding, About and Help.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "kivro_process_win32.h"
#include "resources/resource_ids.h"
#include "test_schedules.h"

namespace {

using kvtest::KivroProcess;
using kvtest::makeEntry;

class Frame : public ::testing::Test {
 protected:
  std::unique_ptr<KivroProcess> startWith(const std::vector<kv::ScheduleEntry>& entries) {
    std::string name = folder.file("frame.KV");
    kvtest::writeFile(name, kvtest::scheduleBytes(entries));
    auto kivro = std::make_unique<KivroProcess>(name);
    EXPECT_NE(kivro->mainWindow(), nullptr);
    return kivro;
  }
  // An untitled schedule with one unsaved entry: copied from a loaded file,
  // then pasted into a new schedule.
  std::unique_ptr<KivroProcess> startUntitledWithAChange() {
    auto kivro = startWith({makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "Entry")});
    kivro->selectRow(0);
    kivro->command(IDM_COPY);
    kivro->command(IDM_NEW);
    kivro->command(IDM_PASTE);
    // The loaded file shows one row already: the state to wait for is the
    // untitled schedule's pasted row, which only Paste after New gives.
    EXPECT_TRUE(kvtest::eventually(
        [&] { return kivro->title() == "Kivro - []" && kivro->rows().size() == 1; }));
    return kivro;
  }
  // Answers the save question; Yes then leads to Save As, which is given
  // savePath or cancelled when it is empty.
  void answerSaveQuestion(KivroProcess& kivro, int answer, const std::string& savePath) {
    EXPECT_EQ(kivro.answer("KV", answer), "Changes have been made.  Save changes?");
    if (answer != IDYES) return;
    if (!savePath.empty()) {
      ASSERT_TRUE(kivro.chooseFile("Save As", savePath));
      return;
    }
    HWND saveAs = kivro.waitForDialog("Save As");
    ASSERT_NE(saveAs, nullptr);
    kvtest::pressButton(saveAs, IDCANCEL);
  }

  struct SaveCase {
    int answer;
    bool saveAsChoosesAName;
    bool mayGo;  // the window closes, or the session may end
  };
  static constexpr SaveCase kSaveCases[] = {
      {IDYES, true, true}, {IDYES, false, false}, {IDNO, false, true}, {IDCANCEL, false, false}};

  // The Settings dialog with a text typed into its number field.
  HWND settingsWith(KivroProcess& kivro, const char* text) {
    kivro.command(IDM_SETTINGS);
    HWND dialog = kivro.waitForDialog("KV Settings");
    if (dialog) SetDlgItemTextA(dialog, 201, text);
    return dialog;
  }

  kvtest::ScratchFolder folder;
  kv::Time ahead = kv::currentTime() + 10 * 86400;
};

TEST_F(Frame, SettingsOkStoresTheNumberAndChecksAtTheNewPaceAtOnce) {
  kvtest::ScopedSetting slow{"Time", "100000"};  // one check in 1000 s
  std::string record = folder.file("started.log");
  SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  auto kivro = startWith(
      {makeEntry(kv::currentTime() + 1, 'O', kvtest::recorderPath(), "Soon", folder.path())});
  SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
  Sleep(2500);
  EXPECT_FALSE(kvtest::fileExists(record)) << "started before any check was due";

  HWND dialog = settingsWith(*kivro, "50");
  ASSERT_NE(dialog, nullptr);
  kvtest::pressButton(dialog, IDOK);
  EXPECT_TRUE(kvtest::eventually([&] { return kvtest::fileExists(record); }, 3000));
  EXPECT_EQ(kvtest::readSetting("Time"), "50");
}

TEST_F(Frame, SettingsStoresZeroForTextAndEnterInTheFieldCancels) {
  kvtest::ScopedSetting time{"Time", "100"};
  auto kivro = startWith({});
  HWND dialog = settingsWith(*kivro, "abc");
  ASSERT_NE(dialog, nullptr);
  kvtest::pressButton(dialog, IDOK);
  ASSERT_TRUE(kvtest::waitUntilGone(dialog));
  EXPECT_TRUE(kvtest::eventually([] { return kvtest::readSetting("Time") == "0"; }));

  dialog = settingsWith(*kivro, "70");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(dialog, 201)), "70");
  HWND field = GetDlgItem(dialog, 201);
  PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(field, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
  EXPECT_TRUE(kvtest::waitUntilGone(dialog));
  EXPECT_EQ(kvtest::readSetting("Time"), "0");
}

TEST_F(Frame, TogglingAFlagTwiceWritesZeroThenOne) {
  kvtest::ScopedSetting warning{"AssociationWarning", "1"};
  kvtest::ScopedSetting hide{"HideIcon", "10"};  // "10" reads as on
  auto kivro = startWith({});
  kivro->command(IDM_ASSOCIATION_WARNING);
  kivro->command(IDM_HIDE_ICON);
  EXPECT_TRUE(kvtest::eventually([] {
    return kvtest::readSetting("AssociationWarning") == "0" &&
           kvtest::readSetting("HideIcon") == "0";
  }));
  kivro->command(IDM_ASSOCIATION_WARNING);
  kivro->command(IDM_HIDE_ICON);
  EXPECT_TRUE(kvtest::eventually([] {
    return kvtest::readSetting("AssociationWarning") == "1" &&
           kvtest::readSetting("HideIcon") == "1";
  }));
}

// Closing and ending the session with unsaved changes, answered every way;
// Yes on an untitled schedule asks for a name, given or cancelled.
TEST_F(Frame, ClosingWithChangesGoesOnlyWhenTheyAreSavedOrGivenUp) {
  for (const auto& c : kSaveCases) {
    auto kivro = startUntitledWithAChange();
    std::string path = c.saveAsChoosesAName ? folder.file("closed.KV") : "";
    kivro->command(IDM_EXIT);
    answerSaveQuestion(*kivro, c.answer, path);
    EXPECT_EQ(kivro->waitForExit(c.mayGo ? 10000 : 1500), c.mayGo ? 0 : -1) << c.answer;
    if (c.saveAsChoosesAName) {
      EXPECT_TRUE(kvtest::fileExists(path));
    }
    if (!c.mayGo) {
      EXPECT_EQ(kivro->rows().size(), 1u);
    }
  }
}

struct EndSessionQuery {
  HWND window;
  DWORD_PTR result = 99;
  static DWORD WINAPI send(LPVOID self) {
    auto* query = static_cast<EndSessionQuery*>(self);
    SendMessageTimeoutA(query->window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000,
                        &query->result);
    return 0;
  }
};

TEST_F(Frame, EndingTheSessionIsRefusedWhileChangesWouldBeLost) {
  for (const auto& c : kSaveCases) {
    auto kivro = startUntitledWithAChange();
    std::string path = c.saveAsChoosesAName ? folder.file("ended.KV") : "";
    EndSessionQuery query{kivro->mainWindow()};
    HANDLE thread = CreateThread(nullptr, 0, EndSessionQuery::send, &query, 0, nullptr);
    answerSaveQuestion(*kivro, c.answer, path);
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
    EXPECT_EQ(query.result, c.mayGo ? 1u : 0u) << c.answer;
  }
}

// What is saved while an entry is being edited holds that entry as it was
// before the edit: the session's end asks to save while the Edit dialog is
// open.
TEST_F(Frame, SavingWhileAnEntryIsEditedKeepsTheEntryAsItWas) {
  auto kivro = startWith({makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "Edited"),
                          makeEntry(ahead + 60, 'W', "C:\\windows\\notepad.exe", "Other")});
  kivro->selectRow(1);
  kivro->command(IDM_COPY);
  kivro->command(IDM_PASTE);
  ASSERT_TRUE(kvtest::eventually([&] { return kivro->rows().size() == 3; }));
  kivro->selectRow(0);
  kivro->key(VK_RETURN);
  HWND edit = kivro->waitForDialog("Add/Edit Time");
  ASSERT_NE(edit, nullptr);
  SetDlgItemTextA(edit, IDC_DESCRIPTION, "Not yet accepted");

  EndSessionQuery query{kivro->mainWindow()};
  HANDLE thread = CreateThread(nullptr, 0, EndSessionQuery::send, &query, 0, nullptr);
  EXPECT_EQ(kivro->answer("KV", IDYES), "Changes have been made.  Save changes?");
  WaitForSingleObject(thread, 20000);
  CloseHandle(thread);
  EXPECT_EQ(query.result, 1u);
  const auto other = makeEntry(ahead + 60, 'W', "C:\\windows\\notepad.exe", "Other");
  EXPECT_EQ(kvtest::readFile(folder.file("frame.KV")),
            kvtest::scheduleBytes(
                {makeEntry(ahead, 'D', "C:\\windows\\notepad.exe", "Edited"), other, other}));
}

// Two copies minimized at once: one stays minimized and hides ten seconds
// later; the other is restored within the ten seconds and stays.
TEST_F(Frame, TheMinimizedWindowHidesTenSecondsLaterUnlessRestored) {
  kvtest::ScopedSetting hide{"HideIcon", "1"};
  auto staysMinimized = startWith({});
  KivroProcess restored;
  HWND hides = staysMinimized->mainWindow(), stays = restored.mainWindow();
  ShowWindowAsync(hides, SW_MINIMIZE);
  ShowWindowAsync(stays, SW_MINIMIZE);
  Sleep(3000);
  ShowWindowAsync(stays, SW_RESTORE);
  Sleep(5000);
  EXPECT_TRUE(IsWindowVisible(hides)) << "hidden too early";
  EXPECT_TRUE(kvtest::eventually([&] { return !IsWindowVisible(hides); }, 5000));
  EXPECT_TRUE(staysMinimized->running());
  EXPECT_TRUE(IsWindowVisible(stays));
  EXPECT_FALSE(IsIconic(stays));
  // A click on its notification-area icon brings the hidden one back.
  PostMessageA(hides, WM_NOTIFICATION_ICON, 1, NIN_SELECT);
  EXPECT_TRUE(kvtest::eventually([&] { return IsWindowVisible(hides) && !IsIconic(hides); }));
}

TEST_F(Frame, AboutShowsTheProductAndVersion) {
  auto kivro = startWith({});
  kivro->command(IDM_ABOUT);
  HWND about = kivro->waitForDialog("About");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(kvtest::windowText(GetDlgItem(about, IDC_ABOUT_PRODUCT)), "Kivro");
  EXPECT_EQ(kvtest::windowText(GetDlgItem(about, IDC_ABOUT_VERSION)), "Version 3.0");
  kvtest::pressButton(about, IDOK);
  EXPECT_TRUE(kvtest::waitUntilGone(about));
}

// Web pages open with the test recorder for the length of a test, so that
// what the shell is asked to start can be read back. (Wine's classes root
// shows only the machine's classes, not the user's.)
class PagesOpenWithTheRecorder {
 public:
  PagesOpenWithTheRecorder() {
    std::string command = "\"" + kvtest::recorderPath() + "\" \"%1\"";
    setDefault("Software\\Classes\\.html", "KivroTest.Page");
    setDefault("Software\\Classes\\KivroTest.Page\\shell\\open\\command", command);
  }
  ~PagesOpenWithTheRecorder() {
    for (const char* key : {"Software\\Classes\\KivroTest.Page\\shell\\open\\command",
                            "Software\\Classes\\KivroTest.Page\\shell\\open",
                            "Software\\Classes\\KivroTest.Page\\shell",
                            "Software\\Classes\\KivroTest.Page", "Software\\Classes\\.html"}) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
  }

 private:
  static void setDefault(const char* key, const std::string& value) {
    RegSetValueA(HKEY_LOCAL_MACHINE, key, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
  }
};

TEST_F(Frame, HelpOpensTheHelpPageAtEachCommandsPlace) {
  PagesOpenWithTheRecorder pages;
  std::string record = folder.file("help.log");
  SetEnvironmentVariableA("KV_RECORD_FILE", record.c_str());
  auto kivro = startWith({});
  SetEnvironmentVariableA("KV_RECORD_FILE", nullptr);
  kivro->command(IDM_HELP_CONTENTS);
  kivro->command(IDM_HELP_SEARCH);
  kivro->command(IDM_HELP_ON_HELP);
  ASSERT_TRUE(kvtest::eventually([&] {
    std::string log = kvtest::readFile(record);
    return std::count(log.begin(), log.end(), '\n') == 3;
  }));
  std::string log = kvtest::readFile(record);
  for (const char* place : {"#contents", "#search", "#using-help"}) {
    EXPECT_NE(log.find(std::string("kivro-help.html") + place), std::string::npos) << log;
  }
  EXPECT_NE(log.find("file:///"), std::string::npos) << log;
}

TEST_F(Frame, AScheduleNameInQuotesAsTheShellPassesItLoads) {
  std::string name = folder.file("Quoted Name.KV");
  kvtest::writeFile(name, kvtest::scheduleBytes({makeEntry(ahead, 'D', "C:\\x.exe", "Quoted")}));
  KivroProcess kivro("\"" + name + "\"");
  ASSERT_NE(kivro.mainWindow(), nullptr);
  EXPECT_EQ(kivro.title(), "Kivro - [" + name + "]");
  EXPECT_TRUE(kvtest::rowsShow(kivro.rows(), {"Quoted"}));
}

}  // namespace
