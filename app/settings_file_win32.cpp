#include "app/settings_file_win32.h"

#include <shlobj.h>

#include <iterator>

#include "schedule/code_pages_win32.h"
#include "schedule/file_io_win32.h"

namespace kv {
namespace {

std::string windowsFolderFile(const char* name) {
  wchar_t folder[MAX_PATH] = L"";
  UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return name;
  return toUtf8(folder) + "\\" + name;
}

std::string applicationDataFolder() {
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return "";
  }
  return toUtf8(folder);
}

// A value of section [KV] as it stands, or the default; a value that fills
// the room is cut to it.
std::string profileValue(const char* key, const char* defaultText, std::size_t room,
                         const std::string& path) {
  std::wstring value(room, L'\0');
  const DWORD length = GetPrivateProfileStringW(
      toWide(kSettingsSection).c_str(), toWide(key).c_str(), toWide(defaultText).c_str(),
      value.data(), static_cast<DWORD>(room), toWide(path).c_str());
  value.resize(length);
  return toUtf8(value);
}

void writeProfileValue(const char* key, const char* value, const std::string& path) {
  WritePrivateProfileStringW(toWide(kSettingsSection).c_str(), toWide(key).c_str(),
                             value ? toWide(value).c_str() : nullptr, toWide(path).c_str());
}

}  // namespace

std::string settingsFilePath() {
  std::string folder = applicationDataFolder();
  if (folder.empty()) return windowsFolderFile(kSettingsFileName);
  return folder + "\\Kivro\\" + kSettingsFileName;
}

SettingsFile::SettingsFile()
    : path_(settingsFilePath()), legacyPath_(windowsFolderFile(kSettingsFileName)) {}

const std::string& SettingsFile::readPath() const {
  if (!isFile(path_) && isFile(legacyPath_)) return legacyPath_;
  return path_;
}

void SettingsFile::prepareForWriting() {
  if (isFile(path_)) return;
  std::size_t folderEnd = path_.find_last_of('\\');
  if (folderEnd != std::string::npos) {
    CreateDirectoryW(toWide(path_.substr(0, folderEnd)).c_str(), nullptr);
  }
  if (isFile(legacyPath_)) CopyFileW(toWide(legacyPath_).c_str(), toWide(path_).c_str(), TRUE);
}

bool SettingsFile::readFlag(const char* key, const char* defaultText) const {
  // Only the first character counts.
  return flagIsOn(profileValue(key, defaultText, 2, readPath()));
}

Settings SettingsFile::read() const {
  Settings settings;
  settings.associationWarning = readFlag(kAssociationWarningKey, kFlagOn);
  settings.hideIcon = readFlag(kHideIconKey, kFlagOff);
  settings.runMissedStarts = readFlag(kMissedStartsKey, kFlagOff);
  settings.skipWhileRunning = readFlag(kSkipWhileRunningKey, kFlagOff);
  settings.notifyOnFailure = readFlag(kNotifyOnFailureKey, kFlagOn);
  settings.wakeToRun = readFlag(kWakeToRunKey, kFlagOff);
  settings.time = readTime();
  settings.view = readView();
  return settings;
}

std::uint32_t SettingsFile::readTime() const {
  return GetPrivateProfileIntW(toWide(kSettingsSection).c_str(), toWide(kTimeKey).c_str(),
                               static_cast<INT>(kDefaultTime), toWide(readPath()).c_str());
}

void SettingsFile::writeTime(std::uint32_t time) {
  prepareForWriting();
  writeProfileValue(kTimeKey, std::to_string(time).c_str(), path_);
}

void SettingsFile::writeFlag(const char* key, bool on) {
  prepareForWriting();
  writeProfileValue(key, flagText(on), path_);
}

ListView SettingsFile::readView() const {
  // Room for "Details" and one more character, so that a longer value is
  // not cut down to it.
  return parseView(profileValue(kViewKey, "", 9, readPath()));
}

void SettingsFile::writeView(ListView view) {
  prepareForWriting();
  writeProfileValue(kViewKey, viewText(view), path_);
}

ColumnWidths SettingsFile::readColumnWidths(const char* key, std::size_t columns) const {
  constexpr std::size_t kRoom = 256;
  const std::string text = profileValue(key, "", kRoom, readPath());
  // A value that filled the buffer was cut short: none of it can be trusted.
  if (text.size() + 1 >= kRoom) return ColumnWidths(columns);
  return parseColumnWidths(text, columns);
}

void SettingsFile::writeColumnWidths(const char* key, const ColumnWidths& widths) {
  const std::string text = columnWidthsText(widths);
  prepareForWriting();
  writeProfileValue(key, text.empty() ? nullptr : text.c_str(), path_);
}

}  // namespace kv
