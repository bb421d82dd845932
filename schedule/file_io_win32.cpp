#include "schedule/file_io_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

// Closes a file handle on every path.
class FileHandle {
 public:
  FileHandle(HANDLE handle, const FileCalls& calls) : handle_(handle), calls_(calls) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (!valid()) return true;
    bool ok = calls_.closeHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
  const FileCalls& calls_;
};

bool readAll(HANDLE file, std::string& bytes, const FileCalls& calls) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD got = 0;
    if (!calls.readFile(file, bytes.data() + done, chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

// Every byte, or false: a short write counts as a failed one.
bool writeAll(HANDLE file, std::string_view bytes, const FileCalls& calls) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD put = 0;
    if (!calls.writeFile(file, bytes.data() + done, chunk, &put, nullptr) || put != chunk) {
      return false;
    }
    done += put;
  }
  return true;
}

// Whether the address space left can hold a schedule file of this size
// while it loads: its bytes, its packed lines and the rows of the list
// take about three times the file at the peak.
bool roomToLoad(unsigned long long fileSize) {
  if (fileSize > std::string().max_size() / 3) return false;
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (!GlobalMemoryStatusEx(&memory)) return true;  // then running out is caught on the way
  return fileSize * 3 <= memory.ullAvailVirtual;
}

// The folder part of a file name with its separator ("C:\\DATA\\", "C:",
// "\\"); empty for a bare name.
std::string folderPrefixOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Creates a new file of a name of its own in the target's folder, so that
// the final rename stays on one drive and no other file is overwritten.
// The name is six characters ("kv" and four hex digits), so that beside any
// file name of up to kMaxFileName characters its path stays within MAX_PATH.
// Empty name when no file could be made.
struct TemporaryFile {
  std::string name;
  HANDLE handle = INVALID_HANDLE_VALUE;
};

TemporaryFile createTemporaryBeside(const std::string& path, const FileCalls& calls) {
  constexpr unsigned kNames = 0x10000;
  const std::string prefix = folderPrefixOf(path) + "kv";
  const unsigned first = static_cast<unsigned>(GetTickCount()) ^ GetCurrentProcessId();
  for (unsigned tried = 0; tried < kNames; ++tried) {
    char digits[8] = "";
    std::snprintf(digits, sizeof digits, "%04x", (first + tried) % kNames);
    const std::string name = prefix + digits;
    const HANDLE handle = calls.createFile(toWide(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return {name, handle};
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

// Replaces path by the written temporary file. Another program that has the
// old file open for a moment (a viewer, a virus scanner, a backup) makes the
// replacement fail only while it holds it, so a refused replacement is tried
// again for about half a second before the save counts as failed.
bool putInPlace(const std::string& temporary, const std::string& path, const FileCalls& calls) {
  constexpr int kTries = 10;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 1;; ++attempt) {
    if (calls.moveFile(toWide(temporary).c_str(), toWide(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || attempt == kTries) return false;
    Sleep(kPauseMs);
  }
}

// The errors of opening a file that is not there, or cannot be by its name.
bool isNotThere(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string fullPathOf(const std::string& fileName) {
  wchar_t full[MAX_PATH * 2] = L"";
  const DWORD n = GetFullPathNameW(toWide(fileName).c_str(), std::size(full), full, nullptr);
  if (n == 0 || n >= std::size(full)) return fileName;
  return toUtf8(std::wstring_view(full, n));
}

bool isFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileContents readWholeFile(const std::string& path) {
  return readWholeFile(path, FileCalls{});
}

FileContents readWholeFile(const std::string& path, const FileCalls& calls) {
  FileContents result;
  // Other programs may have the file open, for reading or for writing.
  FileHandle file(
      calls.createFile(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
      calls);
  if (!file.valid()) {
    // Only a file that is not there is "not found": one held by another
    // program, or not ours to read, exists, and no Save may take its name.
    if (!isNotThere(GetLastError())) result.status = ReadStatus::Unreadable;
    return result;
  }
  result.status = ReadStatus::Unreadable;
  LARGE_INTEGER size{};
  if (!calls.getFileSize(file.get(), &size) || size.QuadPart < 0) return result;
  if (!roomToLoad(static_cast<unsigned long long>(size.QuadPart))) {
    result.status = ReadStatus::TooLarge;
    return result;
  }
  try {
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    result.status = ReadStatus::TooLarge;
    return result;
  }
  if (!readAll(file.get(), result.bytes, calls)) {
    result.bytes.clear();
    return result;
  }
  result.status = ReadStatus::Ok;
  return result;
}

bool replaceFileContents(const std::string& path, std::string_view bytes) {
  return replaceFileContents(path, bytes, FileCalls{});
}

bool replaceFileContents(const std::string& path, std::string_view bytes, const FileCalls& calls) {
  // Replacing by a rename would pass over a read-only target (Wine lets it),
  // so such a target, like a folder of that name, is refused first.
  const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  const TemporaryFile temporary = createTemporaryBeside(path, calls);
  if (temporary.name.empty()) return false;
  FileHandle file(temporary.handle, calls);
  bool written = writeAll(file.get(), bytes, calls) && calls.flushFile(file.get());
  bool closed = file.close();
  if (written && closed && putInPlace(temporary.name, path, calls)) return true;
  DeleteFileW(toWide(temporary.name).c_str());
  return false;
}

}  // namespace kv
