#include "app/launch_history.h"

#include <algorithm>
#include <new>
#include <utility>

#include "engine/handled_starts.h"
#include "schedule/ascii_case.h"

namespace kv {

LaunchHistory::LaunchHistory(HistorySink& sink, std::function<Time()> clock,
                             std::function<std::string()> scheduleName, HistorySink* handledSink)
    : sink_(sink),
      clock_(std::move(clock)),
      scheduleName_(std::move(scheduleName)),
      handledSink_(handledSink),
      timeText_(isoTimeWithOffset) {}

LaunchHistory::~LaunchHistory() {
  try {
    stopWatching();
  } catch (...) {
    // Lines that find no memory are let go; every process is released.
    for (const Watched& w : watched_) watcher_->release(w.process);
  }
}

void LaunchHistory::record(HistoryRecord record) {
  if (sink_.append(historyLine(record))) {
    unwritableSince_.reset();
  } else if (!unwritableSince_) {
    unwritableSince_ = clock_();
  }
  const bool attention = record.needsAttention();
  if (attention && windowHidden_) failureUnseen_ = true;
  last_ = std::move(record);
  if (recorded_) recorded_(*last_);
  if (attention && tell_) tell_(*last_);
}

void LaunchHistory::takeOver(ProcessToken process, const HistoryRecord& start) noexcept {
  try {
    watched_.push_back(Watched{process, start});
  } catch (const std::bad_alloc&) {
    // Not watched, so its end goes unrecorded; the program runs on.
    watcher_->release(process);
  }
}

void LaunchHistory::launched(const ScheduleEntry& entry, const ShellStart& start) {
  // Without a watcher nobody could tell its end: the start is handed over.
  const bool watched = start.process != kNoProcess && watcher_;
  HistoryRecord startRecord;
  try {
    startRecord = historyRecord(entry, clock_(), start.result, scheduleName_(), watched);
  } catch (...) {
    if (watched) watcher_->release(start.process);
    throw;
  }
  if (watched) takeOver(start.process, startRecord);
  record(std::move(startRecord));
}

void LaunchHistory::dealtWith(const ScheduleEntry& entry, Time through) {
  if (handledSink_) {
    handledSink_->append(handledStartLine(through, scheduleName_(), entry));
  }
}

std::optional<Time> LaunchHistory::runningSince(const ScheduleEntry& entry) {
  checkEnds();
  const std::string schedule = scheduleName_();
  const auto same = std::find_if(watched_.begin(), watched_.end(), [&](const Watched& w) {
    return w.start.description == entry.description && w.start.commandLine == entry.commandLine &&
           w.start.workingDirectory == entry.workingDirectory &&
           equalsIgnoringAsciiCase(w.start.schedule, schedule);
  });
  if (same == watched_.end()) return std::nullopt;
  return same->start.attempted;
}

void LaunchHistory::skipped(const ScheduleEntry& entry, Time runningSince) {
  record(skippedRecord(entry, clock_(), scheduleName_(), timeText_(runningSince)));
}

void LaunchHistory::checkEnds() {
  if (!watcher_) return;
  for (std::size_t i = 0; i < watched_.size();) {
    const std::optional<ProgramExit> exit = watcher_->exitOf(watched_[i].process);
    if (!exit) {
      ++i;
      continue;
    }
    const Watched ended = watched_[i];
    watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(i));
    watcher_->release(ended.process);
    record(endRecord(ended.start, exitedText(*exit)));
  }
}

void LaunchHistory::stopWatching() {
  checkEnds();
  while (!watched_.empty()) {
    const Watched left = watched_.back();
    watched_.pop_back();
    watcher_->release(left.process);
    record(endRecord(left.start, kNoLongerWatchedOutcome));
  }
}

void LaunchHistory::recallLastStart(std::string_view historyBytes) {
  last_.reset();
  failureUnseen_ = false;
  std::vector<HistoryRecord> starts = scheduleStarts(historyBytes, scheduleName_());
  if (!starts.empty()) last_ = std::move(starts.back());
}

std::vector<HistoryRecord> scheduleStarts(std::string_view historyBytes,
                                          std::string_view schedule) {
  std::vector<HistoryRecord> starts;
  if (schedule.empty()) return starts;
  for (HistoryStart& start : joinStartsAndEnds(parseHistory(historyBytes))) {
    if (!equalsIgnoringAsciiCase(start.start.schedule, schedule)) continue;
    if (start.end) start.start.outcome = start.end->outcome;
    starts.push_back(std::move(start.start));
  }
  return starts;
}

std::string outcomeWords(const HistoryRecord& record) {
  if (outcomeKind(record.outcome) == OutcomeKind::Running) return std::string(kStillRunningText);
  if (record.failed()) return "failed, " + record.outcome;
  return record.outcome;
}

std::string lastResultText(const HistoryRecord& record, std::string_view when) {
  return outcomeWords(record) + ", " + std::string(when);
}

std::string lastStartText(const HistoryRecord& record, std::string_view when, bool unseenFailure) {
  std::string text =
      "Last: " + record.description + " at " + std::string(when) + ": " + outcomeWords(record);
  if (unseenFailure) text += " (see History)";
  return text;
}

std::string unwritableText(std::string_view since) {
  return "The history could not be written since " + std::string(since) + ".";
}

}  // namespace kv
