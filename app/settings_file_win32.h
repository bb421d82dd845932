// KV.INI: where the settings live and how they are read and written.
//
// The file is kept in the folder "Kivro" of the user's application-data
// folder, where a normal user may write. A KV.INI that an earlier version
// left in the Windows folder is read for as long as the new file does not
// exist, and copied over by the first change, so no setting is lost.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/settings.h"

namespace kv {

class SettingsFile {
 public:
  SettingsFile();

  // The flags (and Time as it stands now).
  Settings read() const;
  // Time in hundredths of a second; 100 when the key is missing.
  std::uint32_t readTime() const;
  void writeTime(std::uint32_t time);
  void writeFlag(const char* key, bool on);
  ListView readView() const;
  void writeView(ListView view);
  // The widths kept for a window's `columns` columns under `key`; none for
  // a column whose width is missing or damaged.
  ColumnWidths readColumnWidths(const char* key, std::size_t columns) const;
  // Removes the key when no width is kept.
  void writeColumnWidths(const char* key, const ColumnWidths& widths);

  // The file written to.
  const std::string& path() const { return path_; }

 private:
  // The file read from: the new one, or the old one while only it exists.
  const std::string& readPath() const;
  // Makes the folder, and copies an old file over, before the first write.
  void prepareForWriting();
  bool readFlag(const char* key, const char* defaultText) const;

  std::string path_;
  std::string legacyPath_;
};

// %APPDATA%\Kivro\KV.INI, or KV.INI in the Windows folder when the user has
// no application-data folder.
std::string settingsFilePath();

}  // namespace kv
