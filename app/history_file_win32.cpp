#include "app/history_file_win32.h"

#include <shlobj.h>

#include <memory>

#include "app/settings_file_win32.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class OpenFile {
 public:
  OpenFile(const std::string& path, DWORD access, DWORD disposition)
      : file_(CreateFileA(path.c_str(), access, kShareAll, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OpenFile() {
    if (open()) CloseHandle(file_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool open() const { return file_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return file_; }
  std::uint64_t size() const {
    LARGE_INTEGER size{};
    return open() && GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  }

 private:
  HANDLE file_;
};

std::string localApplicationDataFolder() {
  char folder[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return "";
  }
  return folder;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool writeAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string readShared(const std::string& path) {
  const OpenFile file(path, GENERIC_READ, OPEN_EXISTING);
  std::string bytes(static_cast<std::size_t>(file.size()), '\0');
  DWORD read = 0;
  if (!file.open() || bytes.empty() ||
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return {};
  }
  bytes.resize(read);
  return bytes;
}

}  // namespace

std::string HistoryFile::earlierPath() const {
  const std::size_t dot = path_.rfind('.');
  return dot == std::string::npos ? path_ + ".1" : path_.substr(0, dot) + ".1" + path_.substr(dot);
}

namespace {

// Appends and moves aside one writer at a time, across every copy of Kivro:
// an append to the end of a shared file is not whole under every system
// (Wine mixes the lines of two writers), and two copies must not both move
// a full file aside or both write a new file's header.
class WritersTurn {
 public:
  explicit WritersTurn(HANDLE mutex) : mutex_(mutex) {
    if (mutex_) {
      const DWORD waited = WaitForSingleObject(mutex_, kWaitMs);
      owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
  }
  ~WritersTurn() {
    if (owned_) ReleaseMutex(mutex_);
  }
  WritersTurn(const WritersTurn&) = delete;
  WritersTurn& operator=(const WritersTurn&) = delete;

 private:
  // A writer that holds its turn longer than this is not waited for.
  static constexpr DWORD kWaitMs = 2000;
  HANDLE mutex_;
  bool owned_ = false;
};

constexpr DWORD kAppendAccess = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;

}  // namespace

HistoryFile::HistoryFile(std::string path)
    : path_(std::move(path)), mutex_(CreateMutexA(nullptr, FALSE, "Local\\Kivro.history")) {}

HistoryFile::~HistoryFile() {
  if (mutex_) CloseHandle(mutex_);
}

bool HistoryFile::append(std::string_view line) {
  const WritersTurn turn(mutex_);
  auto file = std::make_unique<OpenFile>(path_, kAppendAccess, OPEN_ALWAYS);
  if (!file->open() && CreateDirectoryA(folderOf(path_).c_str(), nullptr)) {
    file = std::make_unique<OpenFile>(path_, kAppendAccess, OPEN_ALWAYS);
  }
  if (file->open() && file->size() + line.size() + 2 > kHistoryLimit) {
    file.reset();
    MoveFileExA(path_.c_str(), earlierPath().c_str(), MOVEFILE_REPLACE_EXISTING);
    file = std::make_unique<OpenFile>(path_, kAppendAccess, OPEN_ALWAYS);
  }
  if (!file->open()) return false;
  // One write: a line is whole or not there at all.
  std::string bytes;
  if (file->size() == 0) {
    bytes = kHistoryHeader;
    bytes += "\r\n";
  }
  bytes += line;
  bytes += "\r\n";
  return writeAll(file->get(), bytes);
}

std::string HistoryFile::readAll() const {
  return readShared(earlierPath()) + readShared(path_);
}

std::string historyFilePath() {
  std::string folder = localApplicationDataFolder();
  if (folder.empty()) return folderOf(settingsFilePath()) + "\\history.tsv";
  return folder + "\\Kivro\\history.tsv";
}

std::string ansiToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, utf16.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

}  // namespace kv
