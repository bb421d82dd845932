#include "engine/launcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fake_shell.h"

namespace {

using kv::ScheduleEntry;
using kvtest::FakeReporter;
using kvtest::FakeShell;

ScheduleEntry entry(const std::string& commandLine, char printFlag,
                    const std::string& directory = "C:\\WORK", std::uint16_t show = 1) {
  ScheduleEntry e;
  e.commandLine = commandLine;
  e.printFlag = printFlag;
  e.workingDirectory = directory;
  e.showCommand = show;
  return e;
}

TEST(LauncherTest, SplitsTheCommandLineAndChoosesTheVerb) {
  struct Case {
    const char* commandLine;
    char printFlag;
    const char* verb;
    const char* file;
    const char* parameters;
  } const cases[] = {
      {"NOTEPAD.EXE D:\\README.TXT", '0', "OPEN", "NOTEPAD.EXE", "D:\\README.TXT"},
      {"NOTEPAD.EXE  X", '0', "OPEN", "NOTEPAD.EXE", " X"},
      {"NOTEPAD.EXE X ", '0', "OPEN", "NOTEPAD.EXE", "X "},
      {"D:\\MY FILES\\A.TXT", '0', "OPEN", "D:\\MY", "FILES\\A.TXT"},
      {"calc.exe", '0', "OPEN", "calc.exe", ""},
      {"REPORT.DOC", '1', "PRINT", "REPORT.DOC", ""},
      {"README", '1', "PRINT", "README", ""},
      // The first '.' counts, directories included: the extension is 31\NOTEPAD.EXE.
      {"D:\\WIN.31\\NOTEPAD.EXE", '1', "PRINT", "D:\\WIN.31\\NOTEPAD.EXE", ""},
      // An extension longer than three letters is no executable's.
      {"PROG.EXEC", '1', "PRINT", "PROG.EXEC", ""},
      {"PROG.EX", '1', "PRINT", "PROG.EX", ""},
      {"REPORT.DOC /Q", '1', "PRINT", "REPORT.DOC", "/Q"},
      // Only '1' prints; a damaged line's print flag opens.
      {"REPORT.DOC", 'r', "OPEN", "REPORT.DOC", ""},
  };
  for (const auto& c : cases) {
    FakeShell shell;
    shell.defaultResult = 33;
    EXPECT_EQ(kv::launchEntry(shell, entry(c.commandLine, c.printFlag)), 33u) << c.commandLine;
    ASSERT_EQ(shell.calls.size(), 1u) << c.commandLine;
    EXPECT_EQ(shell.calls[0].verb, c.verb) << c.commandLine;
    EXPECT_EQ(shell.calls[0].file, c.file) << c.commandLine;
    EXPECT_EQ(shell.calls[0].parameters, c.parameters) << c.commandLine;
  }
}

TEST(LauncherTest, RefusesToPrintAnExecutableWithoutCallingTheShell) {
  for (const char* commandLine : {"calc.exe", "GAME.Com", "C:\\DOS\\EDIT.COM X.TXT", "A.eXe"}) {
    FakeShell shell;
    EXPECT_EQ(kv::launchEntry(shell, entry(commandLine, '1')), kv::kPrintExecutableRefused)
        << commandLine;
    EXPECT_TRUE(shell.calls.empty()) << commandLine;
  }
}

TEST(LauncherTest, HandsDirectoryAndShowCommandToTheShell) {
  FakeShell shell;
  kv::launchEntry(shell, entry("NOTEPAD.EXE", '0', "C:\\WINDOWS", 7));
  kv::launchEntry(shell, entry("NOTEPAD.EXE", '0', "", 3));
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0].directory, "C:\\WINDOWS");
  EXPECT_EQ(shell.calls[0].showCommand, 7);
  EXPECT_EQ(shell.calls[1].directory, "");
  EXPECT_EQ(shell.calls[1].showCommand, 3);
}

TEST(LauncherTest, FailuresAreTheLowResultsAndTheRefusal) {
  for (unsigned result : {0u, 1u, 2u, 31u, 999u})
    EXPECT_TRUE(kv::isLaunchFailure(result)) << result;
  for (unsigned result : {32u, 33u, 42u, 998u, 1000u}) {
    EXPECT_FALSE(kv::isLaunchFailure(result)) << result;
  }
}

TEST(LauncherTest, FailureTextForEveryResult) {
  const std::map<unsigned, std::string> fixed = {
      {0, "System out of memory or executable is corrupt"},
      {2, "File not found"},
      {3, "Path was not found"},
      {5, "Attempt was made to dynamically link to a task or sharing error"},
      {6, "Library requires separate data segments for each task"},
      {8, "There was insufficient memory to start the task"},
      {10, "Incorrect version of Windows"},
      {11, "Invalid executable, corrupt executable or non-Windows executable"},
      {12, "The program is designed for another operating system"},
      {13, "Application was designed for MS-DOS 4.0"},
      {14, "Type of executable file was unknown"},
      {15,
       "Attempt was made to load a real-mode application(developed for an earlier version of "
       "Windows)"},
      {16,
       "Attempt was made to load a second instance of an executable file containing multiple "
       "data segments that were not marked read-only. "},
      {19,
       "Attempt was made to load a compressed executable file. The file must be decompressed "
       "before it can be loaded."},
      {20,
       "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run this "
       "application was corrupt. "},
      {21, "Application requires Microsoft Windows 32-bit extensions. "},
  };
  for (unsigned result = 0; result < 32; ++result) {
    if (result == 31) continue;
    const auto found = fixed.find(result);
    const std::string expected = found == fixed.end() ? "Error Launching Program" : found->second;
    // The fixed texts name no program and do not depend on the print flag.
    EXPECT_EQ(kv::launchFailureText(result, "X.DOC", '0'), expected) << result;
    EXPECT_EQ(kv::launchFailureText(result, "X.DOC", '1'), expected) << result;
  }
  EXPECT_EQ(kv::launchFailureText(31, "REPORT.XYZ", '0'),
            "REPORT.XYZ is not an executable file and no application is associated with this "
            "file type, create an association by using File Manager.");
  EXPECT_EQ(kv::launchFailureText(31, "REPORT.XYZ", '1'),
            "REPORT.XYZ has no application associated with it and therefore does not know how "
            "to print it, create an association by using File Manager.");
  EXPECT_EQ(kv::launchFailureText(999, "calc.exe", '1'),
            "Error printing calc.exe. You cannot print an executable file.");
  EXPECT_EQ(kv::launchFailureText(33, "calc.exe", '0'), "");
}

TEST(LauncherTest, CaptionFollowsThePrintFlag) {
  EXPECT_EQ(kv::launchFailureCaption('1'), "Unable to Print");
  EXPECT_EQ(kv::launchFailureCaption('0'), "Error");
  EXPECT_EQ(kv::launchFailureCaption('p'), "Error");
}

TEST(LauncherTest, LaunchAndReportShowsOneBoxPerFailure) {
  struct Case {
    const char* commandLine;
    char printFlag;
    unsigned shellResult;
    const char* text;  // nullptr: no report
    const char* caption;
  } const cases[] = {
      {"NOTEPAD.EXE", '0', 33, nullptr, nullptr},
      {"MISSING.EXE", '0', 2, "File not found", "Error"},
      {"MISSING.DOC", '1', 2, "File not found", "Unable to Print"},
      {"X.XYZ A B", '0', 31,
       "X.XYZ is not an executable file and no application is associated with this file type, "
       "create an association by using File Manager.",
       "Error"},
      {"calc.exe", '1', 33, "Error printing calc.exe. You cannot print an executable file.",
       "Unable to Print"},
      {"ODD.EXE", '0', 1, "Error Launching Program", "Error"},
  };
  for (const auto& c : cases) {
    FakeShell shell;
    FakeReporter reporter;
    shell.defaultResult = c.shellResult;
    kv::launchAndReport(shell, reporter, entry(c.commandLine, c.printFlag));
    if (!c.text) {
      EXPECT_TRUE(reporter.reports.empty()) << c.commandLine;
      continue;
    }
    ASSERT_EQ(reporter.reports.size(), 1u) << c.commandLine;
    EXPECT_EQ(reporter.reports[0].text, c.text);
    EXPECT_EQ(reporter.reports[0].caption, c.caption);
  }
}

class FakeLookup : public kv::ProgramLookup {
 public:
  std::vector<std::string> files, onPath;
  bool fileExists(const std::string& path) override { return has(files, path); }
  bool onSearchPath(const std::string& name) override { return has(onPath, name); }

 private:
  static bool has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  }
};

// A program found nowhere is the one the entry dialog and kvtool warn of.
TEST(ProgramSearchTest, FindsTheProgramWhereTheShellLooksForIt) {
  struct Case {
    const char* program;
    const char* directory;
    std::vector<std::string> files, onPath;
    bool found;
  } const cases[] = {
      {"C:\\TOOLS\\EDIT.EXE", "D:\\WORK", {"C:\\TOOLS\\EDIT.EXE"}, {}, true},
      {"notepad.exe", "D:\\WORK", {}, {"notepad.exe"}, true},
      {"tool.exe", "D:\\WORK", {"D:\\WORK\\tool.exe"}, {}, true},
      {"tool", "D:\\WORK\\", {"D:\\WORK\\tool.exe"}, {}, true},
      {"C:\\TOOLS\\EDIT", "", {"C:\\TOOLS\\EDIT.exe"}, {}, true},
      // The search path adds ".exe" itself: it is asked for the name as written.
      {"tool", "D:\\WORK", {}, {"tool"}, true},
      {"no-such-program-kv.exe", "D:\\WORK", {}, {}, false},
      // A name with an extension is not tried with ".exe" added.
      {"report.txt", "D:\\WORK", {"report.txt.exe", "D:\\WORK\\report.txt.exe"}, {}, false},
      // A '.' in a folder's name is no extension of the program's.
      {"C:\\V1.2\\TOOL", "", {"C:\\V1.2\\TOOL.exe"}, {}, true},
      // Without a working directory there is no second place to look.
      {"tool", "", {"\\tool", "\\tool.exe"}, {}, false},
  };
  for (const Case& c : cases) {
    FakeLookup lookup;
    lookup.files = c.files;
    lookup.onPath = c.onPath;
    EXPECT_EQ(kv::programFound(lookup, c.program, c.directory), c.found)
        << c.program << " in " << c.directory;
  }
}

}  // namespace
