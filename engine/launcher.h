// Starting an entry's program or document through the shell.
#pragma once

#include <string>
#include <string_view>

#include "schedule/entry_line.h"
#include "schedule/message_boxes.h"

namespace kv {

// What the search for an entry's program asks of the system.
class ProgramLookup {
 public:
  virtual ~ProgramLookup() = default;
  // A file (not a directory) of that name exists; a relative name is taken
  // against the current directory.
  virtual bool fileExists(const std::string& path) = 0;
  // A file of that name is on the search path, with ".exe" added to a name
  // that has no extension.
  virtual bool onSearchPath(const std::string& name) = 0;
};

// Whether the program part is found where the shell looks for it when it
// starts it: as written, in the working directory, then on the search path.
// A name without an extension is also tried as NAME.exe as written and in the
// working directory.
bool programFound(ProgramLookup& lookup, std::string_view program,
                  std::string_view workingDirectory);

// The launcher's own result for a print request on an executable file.
inline constexpr unsigned kPrintExecutableRefused = 999;

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts `file` with the verb ("OPEN" or "PRINT"); parameters and directory
  // are always texts, possibly empty. Returns the shell's result (below 32 is
  // a failure).
  virtual unsigned execute(const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand) = 0;
};

// Tells the user that an entry could not be started.
class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  // Shows text under caption, with the stop icon; returns once dismissed.
  virtual void reportLaunchFailure(const std::string& text, const std::string& caption) = 0;
};

// The failure as a box: the stop icon and OK, owned by the main window. At
// most one is open at a time: an entry that fails again and again (a
// missing program, every minute, with nobody there) never piles boxes up;
// the history has every failure.
class BoxFailureReporter final : public FailureReporter {
 public:
  explicit BoxFailureReporter(MessageBoxes& boxes) : boxes_(boxes) {}
  void reportLaunchFailure(const std::string& text, const std::string& caption) override;

 private:
  MessageBoxes& boxes_;
  bool boxOpen_ = false;
};

// Whoever keeps a record of every start attempted.
class LaunchLog {
 public:
  virtual ~LaunchLog() = default;
  virtual void launched(const ScheduleEntry& entry, unsigned result) = 0;
  // The due check has dealt with every start of the entry up to `through`:
  // it started one and passed over the rest. A Test Entry start is not one.
  virtual void dealtWith(const ScheduleEntry& entry, Time through) = 0;
};

bool isLaunchFailure(unsigned result);

// Launches the entry and returns the shell's result, or
// kPrintExecutableRefused without calling the shell.
unsigned launchEntry(Shell& shell, const ScheduleEntry& entry);

// The failure message for a result (empty for a successful one).
std::string launchFailureText(unsigned result, std::string_view programPart, char printFlag);
std::string launchFailureCaption(char printFlag);

// Reports a failed launch of the entry: the text of the result with the
// entry's program part, under the caption of its print flag.
void reportLaunchFailure(FailureReporter& reporter, unsigned result, const ScheduleEntry& entry);

// Launches the entry and reports a failure; returns the result.
unsigned launchAndReport(Shell& shell, FailureReporter& reporter, const ScheduleEntry& entry,
                         LaunchLog* log = nullptr);

}  // namespace kv
