// The shell is asked which application starts the program part, from the
// working directory, as a launch would; when it cannot say, the program is
// looked for where the shell looks for it (engine/launcher.h), as the entry
// dialog looks for it.
#include "tool/program_checks_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "engine/launcher.h"
#include "engine/program_lookup_win32.h"

namespace kv::tool {
namespace {

class Win32ProgramChecks : public ProgramChecks {
 public:
  Result check(std::string_view programPart, std::string_view workingDirectory) override {
    const std::string program(programPart);
    const std::string directory(workingDirectory);
    const FoundExecutable found = findExecutable(program, directory);
    if (found.found()) return Result::Startable;
    if (found.result == SE_ERR_NOASSOC) return Result::NoAssociation;
    WindowsProgramLookup lookup;
    return programFound(lookup, program, directory) ? Result::Startable : Result::NotFound;
  }
};

}  // namespace

std::unique_ptr<ProgramChecks> makeWin32ProgramChecks() {
  return std::make_unique<Win32ProgramChecks>();
}

}  // namespace kv::tool
