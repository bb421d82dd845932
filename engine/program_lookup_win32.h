// The program lookup answered by Windows, for the entry dialog and kvtool.
#pragma once

#include <windows.h>

#include <string>

#include "engine/launcher.h"

namespace kv {

// FindFirstFileW finds an entry whose attributes include normal, archive or
// read-only: a folder, or a file that is only hidden or system, does not
// count.
bool programFileExists(const std::string& path);

// SearchPathW's own order (the program's folder, the current folder, the
// system folders, then PATH), ".exe" added to a name without an extension;
// what it finds must be a file as programFileExists sees one.
bool programOnSearchPath(const std::string& name);

// What FindExecutableW says of a program or document, from a working
// directory (none when empty): above 32 the application that starts it,
// otherwise why none does (SE_ERR_NOASSOC, a file not found...).
struct FoundExecutable {
  INT_PTR result = 0;
  std::string executable;
  bool found() const { return result > 32; }
};
FoundExecutable findExecutable(const std::string& file, const std::string& directory);

class WindowsProgramLookup final : public ProgramLookup {
 public:
  bool fileExists(const std::string& path) override { return programFileExists(path); }
  bool onSearchPath(const std::string& name) override { return programOnSearchPath(name); }
};

}  // namespace kv
