#include "app/launch_history.h"

#include <utility>

namespace kv {

LaunchHistory::LaunchHistory(HistorySink& sink, TextToUtf8 toUtf8, std::function<Time()> clock,
                             std::function<std::string()> scheduleName)
    : sink_(sink),
      toUtf8_(std::move(toUtf8)),
      clock_(std::move(clock)),
      scheduleName_(std::move(scheduleName)) {}

void LaunchHistory::launched(const ScheduleEntry& entry, unsigned result) {
  HistoryRecord record = historyRecord(entry, clock_(), result, scheduleName_());
  if (sink_.append(historyLine(record, toUtf8_))) {
    unwritableSince_.reset();
  } else if (!unwritableSince_) {
    unwritableSince_ = record.attempted;
  }
  if (record.failed() && windowHidden_) failureUnseen_ = true;
  last_ = std::move(record);
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
