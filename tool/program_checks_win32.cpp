// The shell is asked which application starts the program part, from the
// working directory, as a launch would; when it cannot say, the file is
// looked for as given and in the working directory, as the entry dialog
// looks for it.
#include "tool/program_checks_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace kv::tool {
namespace {

constexpr DWORD kFileAttributes =
    FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;

// A file of that name, not a directory nor a file that is only hidden or
// system.
bool fileExists(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & kFileAttributes) != 0;
}

std::string inDirectory(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

class Win32ProgramChecks : public ProgramChecks {
 public:
  Result check(std::string_view programPart, std::string_view workingDirectory) override {
    const std::string program(programPart);
    const std::string directory(workingDirectory);
    char application[MAX_PATH] = "";
    const auto answer = reinterpret_cast<INT_PTR>(FindExecutableA(
        program.c_str(), directory.empty() ? nullptr : directory.c_str(), application));
    if (answer > 32) return Result::Startable;
    if (answer == SE_ERR_NOASSOC) return Result::NoAssociation;
    const bool exists =
        fileExists(program) || (!directory.empty() && fileExists(inDirectory(directory, program)));
    return exists ? Result::Startable : Result::NotFound;
  }
};

}  // namespace

std::unique_ptr<ProgramChecks> makeWin32ProgramChecks() {
  return std::make_unique<Win32ProgramChecks>();
}

}  // namespace kv::tool
