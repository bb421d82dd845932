// What reading a whole file gives: its bytes, or why there are none.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kv {

// TooLarge: the process could not hold the file's entries.
enum class ReadStatus { Ok, NotFound, Unreadable, TooLarge };

struct FileContents {
  ReadStatus status = ReadStatus::NotFound;
  std::string bytes;
};

// The platform's whole-file read, and its safe replacement of a file's
// contents (true once every byte is in place).
using FileReader = std::function<FileContents(const std::string& path)>;
using FileWriter = std::function<bool(const std::string& path, std::string_view bytes)>;

}  // namespace kv
