#include "schedule/file_io_win32.h"

#include <windows.h>

#include <algorithm>
#include <new>

namespace kv {
namespace {

// Closes a file handle on every path.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (!valid()) return true;
    bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

bool readAll(HANDLE file, std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + done, chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool writeAll(HANDLE file, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put != chunk) return false;
    done += put;
  }
  return true;
}

// The folder a file name lies in: "." for a bare name, "\\" for one at the
// root of the current drive; a drive's colon and root backslash stay.
std::string folderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  if (separator == std::string::npos) return ".";
  const bool driveRoot = separator == 2 && path[1] == ':';
  if (separator == 0 || path[separator] == ':' || driveRoot) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

}  // namespace

FileContents readWholeFile(const std::string& path) {
  FileContents result;
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return result;
  result.status = ReadStatus::Unreadable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > result.bytes.max_size()) {
    return result;
  }
  try {
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return result;
  }
  if (!readAll(file.get(), result.bytes)) {
    result.bytes.clear();
    return result;
  }
  result.status = ReadStatus::Ok;
  return result;
}

bool replaceFileContents(const std::string& path, std::string_view bytes) {
  // Replacing by a rename would pass over a read-only target (Wine lets it),
  // so such a target, like a folder of that name, is refused first.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  // A name of its own in the target's folder, so that the final rename stays
  // on one drive and no other file is overwritten.
  char temporary[MAX_PATH] = "";
  if (!GetTempFileNameA(folderOf(path).c_str(), "kv", 0, temporary)) return false;
  FileHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    DeleteFileA(temporary);
    return false;
  }
  bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
  bool closed = file.close();
  if (written && closed &&
      MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary);
  return false;
}

}  // namespace kv
