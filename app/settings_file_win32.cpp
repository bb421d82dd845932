#include "app/settings_file_win32.h"

#include <shlobj.h>

#include <cstdio>

#include "schedule/file_io_win32.h"

namespace kv {
namespace {

std::string windowsFolderFile(const char* name) {
  char folder[MAX_PATH] = "";
  UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return name;
  return std::string(folder) + "\\" + name;
}

std::string applicationDataFolder() {
  char folder[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return "";
  }
  return folder;
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
  if (folderEnd != std::string::npos) CreateDirectoryA(path_.substr(0, folderEnd).c_str(), nullptr);
  if (isFile(legacyPath_)) CopyFileA(legacyPath_.c_str(), path_.c_str(), TRUE);
}

bool SettingsFile::readFlag(const char* key, const char* defaultText) const {
  // Only the first character counts.
  char value[2] = "";
  GetPrivateProfileStringA(kSettingsSection, key, defaultText, value, sizeof value,
                           readPath().c_str());
  return flagIsOn(value);
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
  return GetPrivateProfileIntA(kSettingsSection, kTimeKey, static_cast<INT>(kDefaultTime),
                               readPath().c_str());
}

void SettingsFile::writeTime(std::uint32_t time) {
  char text[16];
  std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(time));
  prepareForWriting();
  WritePrivateProfileStringA(kSettingsSection, kTimeKey, text, path_.c_str());
}

void SettingsFile::writeFlag(const char* key, bool on) {
  prepareForWriting();
  WritePrivateProfileStringA(kSettingsSection, key, flagText(on), path_.c_str());
}

ListView SettingsFile::readView() const {
  // Room for "Details" and one more character, so that a longer value is
  // not cut down to it.
  char text[9] = "";
  GetPrivateProfileStringA(kSettingsSection, kViewKey, "", text, sizeof text, readPath().c_str());
  return parseView(text);
}

void SettingsFile::writeView(ListView view) {
  prepareForWriting();
  WritePrivateProfileStringA(kSettingsSection, kViewKey, viewText(view), path_.c_str());
}

ColumnWidths SettingsFile::readColumnWidths(const char* key, std::size_t columns) const {
  char text[256] = "";
  const DWORD length =
      GetPrivateProfileStringA(kSettingsSection, key, "", text, sizeof text, readPath().c_str());
  // A value that filled the buffer was cut short: none of it can be trusted.
  if (length + 1 >= sizeof text) return ColumnWidths(columns);
  return parseColumnWidths(text, columns);
}

void SettingsFile::writeColumnWidths(const char* key, const ColumnWidths& widths) {
  const std::string text = columnWidthsText(widths);
  prepareForWriting();
  WritePrivateProfileStringA(kSettingsSection, key, text.empty() ? nullptr : text.c_str(),
                             path_.c_str());
}

}  // namespace kv
