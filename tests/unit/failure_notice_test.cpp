// The notification of a failure: one balloon at a time that counts the
// failures while it shows, and the box that a balloon stands in for while
// the window is hidden.
#include "app/failure_notice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fake_shell.h"

namespace {

kv::HistoryRecord failure(const std::string& description, const std::string& outcome) {
  kv::HistoryRecord r;
  r.description = description;
  r.commandLine = "C:\\tools\\job.exe /all";
  r.outcome = outcome;
  return r;
}

TEST(FailureBalloon, OneBalloonCountsTheFailuresWhileItShowsAndStartsAgainOnceItGoes) {
  const struct Step {
    const char* event;  // "fail", "fail, setting off" or "gone"
    const char* description;
    const char* outcome;
    std::optional<kv::Balloon> shown;
    bool showing;  // a balloon shows afterwards
  } steps[] = {
      {"fail", "Backup", "exited 1 after 3 s", kv::Balloon{"Backup", "exited 1 after 3 s"}, true},
      {"fail", "Sync", "File not found",
       kv::Balloon{"Sync", "2 failures; the last: failed: File not found"}, true},
      {"fail", "Backup", "exited 0xC0000005 after 1 min 15 s",
       kv::Balloon{"Backup", "3 failures; the last: exited 0xC0000005 after 1 min 15 s"}, true},
      {"gone", "", "", std::nullopt, false},
      {"fail", "Sync", "Path was not found", kv::Balloon{"Sync", "failed: Path was not found"},
       true},
      {"gone", "", "", std::nullopt, false},
      {"gone", "", "", std::nullopt, false},
      // Off, no balloon at all, and the failure is not counted later.
      {"fail, setting off", "Backup", "exited 1 after 3 s", std::nullopt, false},
      {"fail", "Backup", "exited 2 after 4 s", kv::Balloon{"Backup", "exited 2 after 4 s"}, true},
      {"fail, setting off", "Sync", "File not found", std::nullopt, true},
      // Without a description the command line names the entry.
      {"fail", "", "exited 9 after 0 s",
       kv::Balloon{"C:\\tools\\job.exe /all", "2 failures; the last: exited 9 after 0 s"}, true},
  };
  kv::FailureBalloon balloon;
  int n = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(n++) + ": " + step.event + " " + step.outcome);
    const std::string event = step.event;
    if (event == "gone") {
      balloon.gone();
    } else {
      EXPECT_EQ(balloon.failed(failure(step.description, step.outcome), event == "fail"),
                step.shown);
    }
    EXPECT_EQ(balloon.showing(), step.showing);
  }
}

// A failed start's box: the balloon stands in for it only while the window
// is hidden and the balloon is on; otherwise the box comes as it always did.
// The reporter asks anew at each failure, as the window hides and comes
// back and the setting is switched.
TEST(FailureBalloon, TheBoxComesUnlessTheWindowIsHiddenAndTheBalloonStandsInForIt) {
  const struct {
    bool hidden;
    bool notifyOnFailure;
    bool box;
  } cases[] = {
      {false, true, true},  {true, true, false}, {true, false, true},
      {false, false, true}, {true, true, false},
  };
  kvtest::FakeReporter box;
  kv::Settings settings;
  bool hidden = false;
  kv::UnseenFailureReporter reporter(
      box, [&] { return hidden; }, settings);
  std::size_t boxes = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.hidden ? "hidden" : "shown") + ", notify " +
                 (c.notifyOnFailure ? "on" : "off"));
    hidden = c.hidden;
    settings.notifyOnFailure = c.notifyOnFailure;
    reporter.reportLaunchFailure("File not found", "Error");
    if (c.box) ++boxes;
    ASSERT_EQ(box.reports.size(), boxes);
  }
  for (const kvtest::FakeReporter::Report& report : box.reports) {
    EXPECT_EQ(report.text + "|" + report.caption, "File not found|Error");
  }
}

}  // namespace
