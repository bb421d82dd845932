#include "app/failure_notice.h"

namespace kv {
namespace {

// What became of the start: "exited 1 after 3 s", or "failed: File not
// found".
std::string whatHappened(const HistoryRecord& record) {
  return record.failed() ? "failed: " + record.outcome : record.outcome;
}

}  // namespace

std::optional<Balloon> FailureBalloon::failed(const HistoryRecord& record, bool notifyOnFailure) {
  if (!notifyOnFailure) return std::nullopt;
  ++failures_;
  // A balloon without a title shows no icon either.
  Balloon balloon{record.description.empty() ? record.commandLine : record.description,
                  whatHappened(record)};
  if (failures_ > 1) {
    balloon.text = std::to_string(failures_) + " failures; the last: " + balloon.text;
  }
  return balloon;
}

void UnseenFailureReporter::reportLaunchFailure(const std::string& text,
                                                const std::string& caption) {
  const bool balloonStandsIn = windowHidden_() && settings_.notifyOnFailure;
  if (!balloonStandsIn) box_.reportLaunchFailure(text, caption);
}

}  // namespace kv
