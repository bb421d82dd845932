#include "app/run_key_win32.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "schedule/code_pages_win32.h"

namespace kv {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class OpenKey {
 public:
  explicit OpenKey(REGSAM access) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, access, nullptr, &key_,
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
  const std::wstring name = toWide(kRunValueName);
  DWORD type = 0;
  DWORD size = 0;
  if (!key.get() ||
      RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The value may or may not end in a zero of its own.
  value.resize(std::min<std::size_t>(size / sizeof(wchar_t), value.size()));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return toUtf8(value);
}

bool WindowsRunKey::write(const std::string& value) {
  const OpenKey key(KEY_SET_VALUE);
  const std::wstring wide = toWide(value);
  return key.get() &&
         RegSetValueExW(key.get(), toWide(kRunValueName).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()),
                        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WindowsRunKey::remove() {
  const OpenKey key(KEY_SET_VALUE);
  return key.get() && RegDeleteValueW(key.get(), toWide(kRunValueName).c_str()) == ERROR_SUCCESS;
}

std::string thisProgramPath() {
  wchar_t path[MAX_PATH * 2] = L"";
  const DWORD length = GetModuleFileNameW(nullptr, path, std::size(path));
  return length > 0 && length < std::size(path) ? toUtf8(std::wstring_view(path, length))
                                                : std::string();
}

}  // namespace kv
