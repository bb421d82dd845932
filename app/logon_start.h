// Starting Kivro at logon: the value "Kivro" under the user's Run key starts
// this kv.exe with the schedule file, both quoted and full.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr const char* kRunValueName = "Kivro";

// The value of the user's Run key that starts Kivro at logon.
class RunKey {
 public:
  virtual ~RunKey() = default;
  virtual std::optional<std::string> read() = 0;
  virtual bool write(const std::string& value) = 0;
  virtual bool remove() = 0;
};

// "\"C:\\Kivro\\kv.exe\" \"C:\\My Schedule.KV\"".
std::string logonCommand(std::string_view programPath, std::string_view scheduleFile);

// Whether a Run value starts this program (the path compared without regard
// to case, quoted or not).
bool startsProgram(std::string_view value, std::string_view programPath);

// The check mark of "Start at Logon": the value exists and starts this program.
bool startsAtLogon(RunKey& key, std::string_view programPath);

// The menu item: on, the value starts this program with the schedule; off,
// it is removed. An untitled schedule turns nothing on.
void toggleStartAtLogon(RunKey& key, std::string_view programPath, std::string_view scheduleFile);

// The schedule has another name (Open, Save As): a value that starts this
// program follows it. An untitled schedule (New) leaves the value as it is.
void followScheduleName(RunKey& key, std::string_view programPath, std::string_view scheduleFile);

}  // namespace kv
