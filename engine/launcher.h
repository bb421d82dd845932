// Starting an entry's program or document through the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/start_outcome.h"
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

// A started program's process as the shell hands it back, an opaque value
// that only the shell's own platform reads; kNoProcess for none.
using ProcessToken = std::uintptr_t;
inline constexpr ProcessToken kNoProcess = 0;

struct ShellStart {
  unsigned result = 0;  // the shell's result: below 32 is a failure
  // The process started, when the shell gives one: none for a document
  // handed to a program that was running already, or a print request
  // passed on. Whoever receives it owns it until it is released.
  ProcessToken process = kNoProcess;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts `file` with the verb ("OPEN" or "PRINT"); parameters and directory
  // are always texts, possibly empty.
  virtual ShellStart start(const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand) = 0;
  // Lets go of a process that start handed back. The program goes on.
  virtual void release(ProcessToken process) { (void)process; }
  // The result alone: a process handed back is let go at once.
  unsigned execute(const std::string& verb, const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) {
    const ShellStart started = start(verb, file, parameters, directory, showCommand);
    if (started.process != kNoProcess) release(started.process);
    return started.result;
  }
};

// How the programs Kivro started end, as the platform can tell.
class ProcessWatcher {
 public:
  virtual ~ProcessWatcher() = default;
  // The exit code and running time of a process that has ended; nothing
  // while it runs.
  virtual std::optional<ProgramExit> exitOf(ProcessToken process) = 0;
  // Lets go of the process. The program goes on.
  virtual void release(ProcessToken process) = 0;
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

// Whoever keeps a record of every start attempted, and watches the
// programs started.
class LaunchLog {
 public:
  virtual ~LaunchLog() = default;
  // Records the attempt, and takes over the process handed back, if any:
  // from here on the log owns it, whatever happens.
  virtual void launched(const ScheduleEntry& entry, const ShellStart& start) = 0;
  // The due check has dealt with every start of the entry up to `through`:
  // it started one, skipped one or passed over the rest. A Test Entry start
  // is not one.
  virtual void dealtWith(const ScheduleEntry& entry, Time through) = 0;
  // Since when the entry's previous start, watched still, has been running;
  // nothing when it is not running.
  virtual std::optional<Time> runningSince(const ScheduleEntry& entry) = 0;
  // Records a start not made because the previous one still runs.
  virtual void skipped(const ScheduleEntry& entry, Time runningSince) = 0;
};

bool isLaunchFailure(unsigned result);

// Starts the entry: the shell's result and process, or
// kPrintExecutableRefused without calling the shell.
ShellStart startEntry(Shell& shell, const ScheduleEntry& entry);
// The same, with the result alone: a process is let go at once.
unsigned launchEntry(Shell& shell, const ScheduleEntry& entry);

// The failure message for a result (empty for a successful one).
std::string launchFailureText(unsigned result, std::string_view programPart, char printFlag);
std::string launchFailureCaption(char printFlag);

// Reports a failed launch of the entry: the text of the result with the
// entry's program part, under the caption of its print flag.
void reportLaunchFailure(FailureReporter& reporter, unsigned result, const ScheduleEntry& entry);

// Launches the entry and reports a failure; returns the result. The log,
// when there is one, takes the process to watch.
unsigned launchAndReport(Shell& shell, FailureReporter& reporter, const ScheduleEntry& entry,
                         LaunchLog* log = nullptr);

}  // namespace kv
