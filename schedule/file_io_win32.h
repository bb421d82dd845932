// Whole-file reads and safe replacement of a file's contents.
#pragma once

#include <string>
#include <string_view>

#include "schedule/file_contents.h"

namespace kv {

// The full path of a file name (the name itself when it has none).
std::string fullPathOf(const std::string& fileName);

// Whether a file (not a folder) of that name exists.
bool isFile(const std::string& path);

// Reads the whole file, of any size, or tells why it could not.
FileContents readWholeFile(const std::string& path);

// Writes the bytes to a temporary file beside path, checks every write and
// the close, and only then puts it in place of path. On any failure path is
// left as it was and false is returned.
bool replaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace kv
