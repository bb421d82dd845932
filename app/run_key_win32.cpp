#include "app/run_key_win32.h"

#include <windows.h>

#include <algorithm>

namespace kv {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class OpenKey {
 public:
  explicit OpenKey(REGSAM access) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::string> WindowsRunKey::read() {
  const OpenKey key(KEY_QUERY_VALUE);
  DWORD type = 0;
  DWORD size = 0;
  if (!key.get() ||
      RegQueryValueExA(key.get(), kRunValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::string value(size, '\0');
  if (RegQueryValueExA(key.get(), kRunValueName, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(std::min<std::size_t>(size, value.size()));
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return value;
}

bool WindowsRunKey::write(const std::string& value) {
  const OpenKey key(KEY_SET_VALUE);
  return key.get() && RegSetValueExA(key.get(), kRunValueName, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WindowsRunKey::remove() {
  const OpenKey key(KEY_SET_VALUE);
  return key.get() && RegDeleteValueA(key.get(), kRunValueName) == ERROR_SUCCESS;
}

std::string thisProgramPath() {
  char path[MAX_PATH * 2] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace kv
