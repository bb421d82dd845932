// Whole-file reads and safe replacement of a file's contents. File names
// are UTF-8, as every text inside the program.
#pragma once

#include <windows.h>

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

// The system's file calls that reading and replacing a file make, one by
// one, so that a test can make each of them fail in turn. Names are UTF-16,
// so that a file of any name can be read and written.
struct FileCalls {
  decltype(&CreateFileW) createFile = CreateFileW;
  decltype(&GetFileSizeEx) getFileSize = GetFileSizeEx;
  decltype(&ReadFile) readFile = ReadFile;
  decltype(&WriteFile) writeFile = WriteFile;
  decltype(&FlushFileBuffers) flushFile = FlushFileBuffers;
  decltype(&CloseHandle) closeHandle = CloseHandle;
  decltype(&MoveFileExW) moveFile = MoveFileExW;
};

// Reads the whole file, of any size, or tells why it could not.
FileContents readWholeFile(const std::string& path, const FileCalls& calls);

// Writes the bytes to a temporary file beside path, checks every write and
// the close, and only then puts it in place of path. On any failure path is
// left as it was, no temporary file stays, and false is returned.
bool replaceFileContents(const std::string& path, std::string_view bytes);
bool replaceFileContents(const std::string& path, std::string_view bytes, const FileCalls& calls);

}  // namespace kv
