#include "engine/launcher.h"

namespace kv {
namespace {

// The shell reports failures as results below this.
constexpr unsigned kFirstSuccess = 32;
// The shell's result when no application is associated with the file.
constexpr unsigned kNoAssociation = 31;

bool asksToPrint(char printFlag) {
  return printFlag == '1';
}

// The fixed texts of the shell's failure results, in the shell's words.
const char* fixedFailureText(unsigned result) {
  switch (result) {
    case 0:
      return "System out of memory or executable is corrupt";
    case 2:
      return "File not found";
    case 3:
      return "Path was not found";
    case 5:
      return "Attempt was made to dynamically link to a task or sharing error";
    case 6:
      return "Library requires separate data segments for each task";
    case 8:
      return "There was insufficient memory to start the task";
    case 10:
      return "Incorrect version of Windows";
    case 11:
      return "Invalid executable, corrupt executable or non-Windows executable";
    case 12:
      return "The program is designed for another operating system";
    case 13:
      return "Application was designed for MS-DOS 4.0";
    case 14:
      return "Type of executable file was unknown";
    case 15:
      return "Attempt was made to load a real-mode application(developed for an earlier version "
             "of Windows)";
    case 16:
      return "Attempt was made to load a second instance of an executable file containing "
             "multiple data segments that were not marked read-only. ";
    case 19:
      return "Attempt was made to load a compressed executable file. The file must be "
             "decompressed before it can be loaded.";
    case 20:
      return "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run this "
             "application was corrupt. ";
    case 21:
      return "Application requires Microsoft Windows 32-bit extensions. ";
    default:
      return "Error Launching Program";
  }
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

}  // namespace

bool isLaunchFailure(unsigned result) {
  return result < kFirstSuccess || result == kPrintExecutableRefused;
}

unsigned launchEntry(Shell& shell, const ScheduleEntry& entry) {
  const std::string_view command = entry.commandLine;
  std::string verb = "OPEN";
  if (asksToPrint(entry.printFlag)) {
    // The shell would start an executable instead of printing it.
    if (isExecutableExtension(extension(command))) return kPrintExecutableRefused;
    verb = "PRINT";
  }
  return shell.execute(verb, std::string(programPart(command)), std::string(parameterPart(command)),
                       entry.workingDirectory, entry.showCommand);
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

unsigned launchAndReport(Shell& shell, FailureReporter& reporter, const ScheduleEntry& entry) {
  const unsigned result = launchEntry(shell, entry);
  if (isLaunchFailure(result)) reportLaunchFailure(reporter, result, entry);
  return result;
}

}  // namespace kv
