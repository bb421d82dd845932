#include "app/launch_history.h"

#include <utility>

#include "engine/handled_starts.h"
#include "schedule/ascii_case.h"

namespace kv {

LaunchHistory::LaunchHistory(HistorySink& sink, TextToUtf8 toUtf8, std::function<Time()> clock,
                             std::function<std::string()> scheduleName, HistorySink* handledSink)
    : sink_(sink),
      toUtf8_(std::move(toUtf8)),
      clock_(std::move(clock)),
      scheduleName_(std::move(scheduleName)),
      handledSink_(handledSink) {}

void LaunchHistory::launched(const ScheduleEntry& entry, unsigned result) {
  HistoryRecord record = historyRecord(entry, clock_(), result, scheduleName_());
  if (sink_.append(historyLine(record, toUtf8_))) {
    unwritableSince_.reset();
  } else if (!unwritableSince_) {
    unwritableSince_ = record.attempted;
  }
  if (record.failed() && windowHidden_) failureUnseen_ = true;
  // The last start reads as a record read back from the file would.
  record.description = toUtf8_(record.description);
  record.outcome = toUtf8_(record.outcome);
  last_ = std::move(record);
}

void LaunchHistory::dealtWith(const ScheduleEntry& entry, Time through) {
  if (handledSink_)
    handledSink_->append(handledStartLine(through, scheduleName_(), entry, toUtf8_));
}

void LaunchHistory::recallLastStart(std::string_view historyBytes) {
  last_.reset();
  failureUnseen_ = false;
  const std::string schedule = toUtf8_(scheduleName_());
  if (schedule.empty()) return;
  for (HistoryRecord& record : parseHistory(historyBytes)) {
    if (equalsIgnoringAsciiCase(record.schedule, schedule)) last_ = std::move(record);
  }
}

std::string lastStartText(const HistoryRecord& record, std::string_view when, bool unseenFailure) {
  std::string text = "Last: " + record.description + " at " + std::string(when) + ": " +
                     (record.failed() ? "failed, " + record.outcome : record.outcome);
  if (unseenFailure) text += " (see History)";
  return text;
}

std::string unwritableText(std::string_view since) {
  return "The history could not be written since " + std::string(since) + ".";
}

}  // namespace kv
