#include "app/appended_file_win32.h"

#include <shlobj.h>

#include <memory>

#include "app/settings_file_win32.h"
#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kAppendAccess = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;

class OpenFile {
 public:
  OpenFile(const std::string& path, DWORD access, DWORD disposition)
      : file_(CreateFileW(toWide(path).c_str(), access, kShareAll, nullptr, disposition,
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
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return "";
  }
  return toUtf8(folder);
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

std::uint64_t sizeOfFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(toWide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Appends and makes room one writer at a time, across every copy of Kivro:
// an append to the end of a shared file is not whole under every system
// (Wine mixes the lines of two writers), and two copies must not both make
// room or both write a new file's header.
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

}  // namespace

AppendedFile::AppendedFile(std::string path, std::string_view header, const wchar_t* writersName)
    : path_(std::move(path)),
      header_(header),
      writers_(CreateMutexW(nullptr, FALSE, writersName)) {}

AppendedFile::~AppendedFile() {
  if (writers_) CloseHandle(writers_);
}

bool AppendedFile::append(std::string_view line) {
  const WritersTurn turn(writers_);
  makeRoom(sizeOfFile(path_), line.size() + 2);
  auto file = std::make_unique<OpenFile>(path_, kAppendAccess, OPEN_ALWAYS);
  if (!file->open() && CreateDirectoryW(toWide(folderOf(path_)).c_str(), nullptr)) {
    file = std::make_unique<OpenFile>(path_, kAppendAccess, OPEN_ALWAYS);
  }
  if (!file->open()) return false;
  // One write: a line is whole or not there at all.
  std::string bytes;
  if (file->size() == 0) {
    bytes = header_;
    bytes += "\r\n";
  }
  bytes += line;
  bytes += "\r\n";
  return writeAll(file->get(), bytes);
}

std::string readSharedFile(const std::string& path) {
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

bool replaceWholeFile(const std::string& path, std::string_view bytes) {
  const std::string fresh = path + ".new";
  bool written = false;
  {
    const OpenFile file(fresh, GENERIC_WRITE, CREATE_ALWAYS);
    written = file.open() && writeAll(file.get(), bytes);
  }
  if (written &&
      MoveFileExW(toWide(fresh).c_str(), toWide(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  DeleteFileW(toWide(fresh).c_str());
  return false;
}

std::string kivroDataPath(const std::string& name) {
  const std::string folder = localApplicationDataFolder();
  if (folder.empty()) return folderOf(settingsFilePath()) + "\\" + name;
  return folder + "\\Kivro\\" + name;
}

}  // namespace kv
