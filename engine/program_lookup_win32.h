// The program lookup answered by Windows, for the entry dialog and kvtool.
#pragma once

#include <string>

#include "engine/launcher.h"

namespace kv {

// FindFirstFileA finds an entry whose attributes include normal, archive or
// read-only: a folder, or a file that is only hidden or system, does not
// count.
bool programFileExists(const std::string& path);

// SearchPathA's own order (the program's folder, the current folder, the
// system folders, then PATH), ".exe" added to a name without an extension;
// what it finds must be a file as programFileExists sees one.
bool programOnSearchPath(const std::string& name);

class WindowsProgramLookup final : public ProgramLookup {
 public:
  bool fileExists(const std::string& path) override { return programFileExists(path); }
  bool onSearchPath(const std::string& name) override { return programOnSearchPath(name); }
};

}  // namespace kv
