// kvtool check's warnings: what a load keeps as it stands but will not run
// as meant, told by line, and counted in the last line.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "schedule/entry_line.h"
#include "tool/commands.h"

namespace {

using Result = kv::tool::ProgramChecks::Result;

// Knows one missing program and one document without an application.
class FakePrograms : public kv::tool::ProgramChecks {
 public:
  Result check(std::string_view program, std::string_view) override {
    if (program == "C:\\missing.exe") return Result::NotFound;
    if (program == "C:\\letter.xyz") return Result::NoAssociation;
    return Result::Startable;
  }
};

constexpr kv::Time kNow = 1'800'000'000;

std::string fileOf(const std::string& commandLine, unsigned showCommand) {
  kv::ScheduleEntry e;
  e.start = kNow + 3600;
  e.end = kNow + 7200;
  e.frequency = 'D';
  e.showCommand = static_cast<std::uint16_t>(showCommand);
  e.commandLine = commandLine;
  e.workingDirectory = "C:\\";
  e.description = "entry";
  return "Version=3.0\r\n" + kv::composeEntryLine(e) + "\r\n";
}

TEST(KvtoolCheckWarnings, NameTheProgramTheShowCommandAndTheirCount) {
  const std::string kept = "s.KV: 1 of 1 entry kept by a load; loads as it stands";
  const struct {
    std::string commandLine;
    unsigned showCommand;
    std::string report;
  } cases[] = {
      {"C:\\app.exe /x", 1, kept + "\n"},
      {"C:\\missing.exe /x", 1,
       "s.KV:2: warning: C:\\missing.exe not found\n" + kept + "; 1 warning\n"},
      {"C:\\letter.xyz", 1,
       "s.KV:2: warning: no application is associated with C:\\letter.xyz\n" + kept +
           "; 1 warning\n"},
      {"C:\\app.exe", 5, "s.KV:2: warning: unknown show command 5\n" + kept + "; 1 warning\n"},
      {"C:\\missing.exe", 5,
       "s.KV:2: warning: unknown show command 5\ns.KV:2: warning: C:\\missing.exe not found\n" +
           kept + "; 2 warnings\n"},
  };
  for (const auto& c : cases) {
    FakePrograms programs;
    std::ostringstream out;
    const int status =
        kv::tool::writeCheck(fileOf(c.commandLine, c.showCommand), "s.KV", kNow, &programs, out);
    EXPECT_EQ(out.str(), c.report) << c.commandLine;
    EXPECT_EQ(status, 0) << c.commandLine;  // warnings do not change what a load keeps
  }
}

}  // namespace
