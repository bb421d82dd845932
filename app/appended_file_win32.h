// A file of lines in Kivro's own folder that every copy of Kivro appends to:
// one writer at a time, each line in one write (a line is whole or not
// there at all), shared for reading meanwhile. A new file begins with its
// header. What happens when it grows large is the kind of file's own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/launch_history.h"

namespace kv {

class AppendedFile : public HistorySink {
 public:
  AppendedFile(std::string path, std::string_view header, const wchar_t* writersName);
  ~AppendedFile() override;
  AppendedFile(const AppendedFile&) = delete;
  AppendedFile& operator=(const AppendedFile&) = delete;

  bool append(std::string_view line) override;
  const std::string& path() const { return path_; }

 protected:
  // Called in the writer's turn before a line of `adding` bytes goes in,
  // with the file's size (0 when there is none yet): may make room.
  virtual void makeRoom(std::uint64_t size, std::size_t adding) = 0;
  const std::string& header() const { return header_; }

 private:
  std::string path_;
  std::string header_;
  HANDLE writers_;  // one writer at a time, across every copy of Kivro
};

// The whole file, read while others may write it; empty when there is none.
std::string readSharedFile(const std::string& path);
// Writes the bytes in place of the file through a file beside it, so that a
// reader sees the old file or the new one, never half of one.
bool replaceWholeFile(const std::string& path, std::string_view bytes);

// %LOCALAPPDATA%\Kivro\<name>, or beside KV.INI where that folder is missing.
std::string kivroDataPath(const std::string& name);

}  // namespace kv
