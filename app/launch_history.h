// The history of starts as the program keeps it: every attempt appended as
// one line, the last start for the status bar, and whether the history
// could be written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history.h"
#include "engine/launcher.h"

namespace kv {

// Where history lines go: each line in one write. The platform's file adds
// the header to a new file and moves a full one aside.
class HistorySink {
 public:
  virtual ~HistorySink() = default;
  virtual bool append(std::string_view line) = 0;
};

class LaunchHistory final : public LaunchLog {
 public:
  // `handledSink`, when given, keeps the record of the starts the due check
  // dealt with (engine/handled_starts.h).
  LaunchHistory(HistorySink& sink, std::function<Time()> clock,
                std::function<std::string()> scheduleName, HistorySink* handledSink = nullptr);
  // Lets go of every program still watched, as stopWatching does.
  ~LaunchHistory() override;
  LaunchHistory(const LaunchHistory&) = delete;
  LaunchHistory& operator=(const LaunchHistory&) = delete;

  // Who tells when a watched program ends; without one, no process is
  // watched.
  void watchWith(ProcessWatcher& watcher) { watcher_ = &watcher; }
  // How a time reads in a skipped start's line.
  void showTimesWith(std::function<std::string(Time)> timeText) { timeText_ = std::move(timeText); }
  // Told of every start that failed and every program that ended with an
  // exit code other than 0.
  void onAttention(std::function<void(const HistoryRecord&)> tell) { tell_ = std::move(tell); }
  // Told of every line recorded, a start or an end, as lastStart reads.
  void onRecorded(std::function<void(const HistoryRecord&)> tell) { recorded_ = std::move(tell); }

  // Records the attempt and watches the process handed back. A history
  // that cannot be written never stops a start and shows no box: it only
  // remembers since when.
  void launched(const ScheduleEntry& entry, const ShellStart& start) override;
  // A record that cannot be written costs at most one start run again
  // after a restart; it stops nothing either.
  void dealtWith(const ScheduleEntry& entry, Time through) override;
  std::optional<Time> runningSince(const ScheduleEntry& entry) override;
  void skipped(const ScheduleEntry& entry, Time runningSince) override;

  // Records the end of each watched program that has ended, and lets it go.
  void checkEnds();
  // Kivro ends: each program still running goes on, and its line says that
  // Kivro no longer watches it.
  void stopWatching();
  std::size_t watchedCount() const { return watched_.size(); }

  // After a load: the newest start that a history file's bytes hold for
  // the schedule now open becomes the last start, with its end, or there
  // is none.
  void recallLastStart(std::string_view historyBytes);

  // The last start, with its end where there is one.
  const std::optional<HistoryRecord>& lastStart() const { return last_; }
  std::optional<Time> unwritableSince() const { return unwritableSince_; }

  // A failure while the window was hidden stays marked until History is
  // opened.
  void setWindowHidden(bool hidden) { windowHidden_ = hidden; }
  bool failureUnseen() const { return failureUnseen_; }
  void historySeen() { failureUnseen_ = false; }

 private:
  struct Watched {
    ProcessToken process;
    HistoryRecord start;  // as written, its texts as the entry has them
  };
  // Writes the record's line and makes it the last start.
  void record(HistoryRecord record);
  void takeOver(ProcessToken process, const HistoryRecord& start) noexcept;

  HistorySink& sink_;
  std::function<Time()> clock_;
  std::function<std::string()> scheduleName_;
  HistorySink* handledSink_;
  ProcessWatcher* watcher_ = nullptr;
  std::function<std::string(Time)> timeText_;
  std::function<void(const HistoryRecord&)> tell_;
  std::function<void(const HistoryRecord&)> recorded_;
  std::vector<Watched> watched_;
  std::optional<HistoryRecord> last_;
  std::optional<Time> unwritableSince_;
  bool windowHidden_ = false;
  bool failureUnseen_ = false;
};

// The starts that a history file's bytes hold for a schedule (named in
// UTF-8, in any letter case; none for an untitled one), oldest first, each
// with the outcome of its end where the history holds one.
std::vector<HistoryRecord> scheduleStarts(std::string_view historyBytes, std::string_view schedule);

// What became of a start, in words: "still running", "exited 1 after 3 s",
// "failed, " and why...
std::string outcomeWords(const HistoryRecord& record);

// The Details view's Last Result: what became of the start, and when it
// was, "exited 1 after 3 s, 12/10/26 2:00 AM".
std::string lastResultText(const HistoryRecord& record, std::string_view when);

// The status bar: "Last: DESCRIPTION at WHEN: " and what became of it
// ("still running", "exited 1 after 3 s", "failed, " and why...), with a
// pointer to History while a failure is unseen.
std::string lastStartText(const HistoryRecord& record, std::string_view when, bool unseenFailure);

// The History window's note when the history cannot be written.
std::string unwritableText(std::string_view since);

}  // namespace kv
