// The history of starts as the program keeps it: every attempt appended as
// one line, the last start for the status bar, and whether the history
// could be written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
  LaunchHistory(HistorySink& sink, TextToUtf8 toUtf8, std::function<Time()> clock,
                std::function<std::string()> scheduleName, HistorySink* handledSink = nullptr);

  // Records the attempt. A history that cannot be written never stops a
  // start and shows no box: it only remembers since when.
  void launched(const ScheduleEntry& entry, unsigned result) override;
  // A record that cannot be written costs at most one start run again
  // after a restart; it stops nothing either.
  void dealtWith(const ScheduleEntry& entry, Time through) override;

  // After a load: the newest start that a history file's bytes hold for
  // the schedule now open becomes the last start, or there is none.
  void recallLastStart(std::string_view historyBytes);

  // The last start, its texts in UTF-8.
  const std::optional<HistoryRecord>& lastStart() const { return last_; }
  std::optional<Time> unwritableSince() const { return unwritableSince_; }

  // A failure while the window was hidden stays marked until History is
  // opened.
  void setWindowHidden(bool hidden) { windowHidden_ = hidden; }
  bool failureUnseen() const { return failureUnseen_; }
  void historySeen() { failureUnseen_ = false; }

 private:
  HistorySink& sink_;
  TextToUtf8 toUtf8_;
  std::function<Time()> clock_;
  std::function<std::string()> scheduleName_;
  HistorySink* handledSink_;
  std::optional<HistoryRecord> last_;
  std::optional<Time> unwritableSince_;
  bool windowHidden_ = false;
  bool failureUnseen_ = false;
};

// The status bar: "Last: DESCRIPTION at WHEN: started", or the failure's
// text, with a pointer to History while a failure is unseen.
std::string lastStartText(const HistoryRecord& record, std::string_view when, bool unseenFailure);

// The History window's note when the history cannot be written.
std::string unwritableText(std::string_view since);

}  // namespace kv
