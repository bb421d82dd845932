// The value "Kivro" under the user's Run key,
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
#pragma once

#include "app/logon_start.h"

namespace kv {

class WindowsRunKey final : public RunKey {
 public:
  std::optional<std::string> read() override;
  bool write(const std::string& value) override;
  bool remove() override;
};

// The full path of the running kv.exe.
std::string thisProgramPath();

}  // namespace kv
