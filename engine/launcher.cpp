#include "engine/launcher.h"

#include "schedule/entry_codes.h"

namespace kv {
namespace {

// The shell reports failures as results below this.
constexpr unsigned kFirstSuccess = 32;
// The shell's result when no application is associated with the file.
constexpr unsigned kNoAssociation = 31;

bool asksToPrint(char printFlag) {
  return actionOfFlag(printFlag) == Action::Print;
}

struct FailureText {
  unsigned result;
  const char* text;
};

// The fixed texts of the shell's failure results, in the shell's words.
constexpr FailureText kFailureTexts[] = {
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
     "Attempt was made to load a second instance of an executable file containing multiple data "
     "segments that were not marked read-only. "},
    {19,
     "Attempt was made to load a compressed executable file. The file must be decompressed "
     "before it can be loaded."},
    {20,
     "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run this "
     "application was corrupt. "},
    {21, "Application requires Microsoft Windows 32-bit extensions. "},
};

const char* fixedFailureText(unsigned result) {
  for (const FailureText& failure : kFailureTexts) {
    if (failure.result == result) return failure.text;
  }
  return "Error Launching Program";
}

std::string noAssociationText(std::string_view programPart, char printFlag) {
  std::string text(programPart);
  text += asksToPrint(printFlag)
              ? " has no application associated with it and therefore does not know how to print it"
              : " is not an executable file and no application is associated with this file type";
  text += ", create an association by using File Manager.";
  return text;
}

std::string printRefusedText(std::string_view programPart) {
  std::string text = "Error printing ";
  text += programPart;
  text += ". You cannot print an executable file.";
  return text;
}

// The name is the part after the last folder; a '.' in a folder's name
// gives the program no extension.
bool hasExtension(std::string_view program) {
  const std::size_t folderEnd = program.find_last_of("\\/:");
  const std::string_view name =
      folderEnd == std::string_view::npos ? program : program.substr(folderEnd + 1);
  return name.find('.') != std::string_view::npos;
}

std::string inDirectory(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (path.back() != '\\') path += '\\';
  path += name;
  return path;
}

bool existsAsNamed(ProgramLookup& lookup, const std::string& path, bool tryExe) {
  return lookup.fileExists(path) || (tryExe && lookup.fileExists(path + ".exe"));
}

}  // namespace

bool programFound(ProgramLookup& lookup, std::string_view program,
                  std::string_view workingDirectory) {
  if (program.empty()) return false;
  const std::string name(program);
  const bool tryExe = !hasExtension(program);
  if (existsAsNamed(lookup, name, tryExe)) return true;
  if (!workingDirectory.empty() &&
      existsAsNamed(lookup, inDirectory(workingDirectory, program), tryExe)) {
    return true;
  }
  return lookup.onSearchPath(name);
}

bool isLaunchFailure(unsigned result) {
  return result < kFirstSuccess || result == kPrintExecutableRefused;
}

ShellStart startEntry(Shell& shell, const ScheduleEntry& entry) {
  const std::string_view command = entry.commandLine;
  std::string verb = "OPEN";
  if (asksToPrint(entry.printFlag)) {
    // The shell would start an executable instead of printing it.
    if (isExecutableExtension(extension(command))) return ShellStart{kPrintExecutableRefused};
    verb = "PRINT";
  }
  return shell.start(verb, std::string(programPart(command)), std::string(parameterPart(command)),
                     entry.workingDirectory, entry.showCommand);
}

unsigned launchEntry(Shell& shell, const ScheduleEntry& entry) {
  const ShellStart started = startEntry(shell, entry);
  if (started.process != kNoProcess) shell.release(started.process);
  return started.result;
}

std::string launchFailureText(unsigned result, std::string_view programPart, char printFlag) {
  if (!isLaunchFailure(result)) return {};
  if (result == kPrintExecutableRefused) return printRefusedText(programPart);
  if (result == kNoAssociation) return noAssociationText(programPart, printFlag);
  return fixedFailureText(result);
}

std::string launchFailureCaption(char printFlag) {
  return asksToPrint(printFlag) ? "Unable to Print" : "Error";
}

void reportLaunchFailure(FailureReporter& reporter, unsigned result, const ScheduleEntry& entry) {
  reporter.reportLaunchFailure(
      launchFailureText(result, programPart(entry.commandLine), entry.printFlag),
      launchFailureCaption(entry.printFlag));
}

unsigned launchAndReport(Shell& shell, FailureReporter& reporter, const ScheduleEntry& entry,
                         LaunchLog* log) {
  const ShellStart started = log ? startEntry(shell, entry) : ShellStart{launchEntry(shell, entry)};
  if (log) log->launched(entry, started);
  if (isLaunchFailure(started.result)) reportLaunchFailure(reporter, started.result, entry);
  return started.result;
}

void BoxFailureReporter::reportLaunchFailure(const std::string& text, const std::string& caption) {
  if (boxOpen_) return;
  boxOpen_ = true;
  struct Closed {
    bool& open;
    ~Closed() { open = false; }
  } closed{boxOpen_};
  boxes_.show({text, caption, BoxButtons::Ok, BoxIcon::Stop});
}

}  // namespace kv
