#include "engine/start_outcome.h"

#include <cstdio>
#include <limits>

namespace kv {
namespace {

constexpr std::string_view kExitedPrefix = "exited ";
constexpr std::string_view kAfter = " after ";
constexpr std::string_view kSkippedPrefix = "skipped: still running since ";
constexpr std::uint32_t kFirstHexExitCode = 0xC0000000u;

std::optional<std::uint64_t> numberIn(std::string_view text, int base) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  return value;
}

std::optional<std::uint32_t> parseExitCode(std::string_view text) {
  const bool hex = text.starts_with("0x");
  const std::optional<std::uint64_t> value = numberIn(hex ? text.substr(2) : text, hex ? 16 : 10);
  if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  const auto code = static_cast<std::uint32_t>(*value);
  // Each code has one text: decimal below the crash codes, hex from them on.
  if (exitCodeText(code) != text) return std::nullopt;
  return code;
}

// Seconds of "3 s", "2 min 5 s" or "1 h 0 min", the texts durationText makes.
std::optional<Time> parseDuration(std::string_view text) {
  std::uint64_t seconds = 0;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::optional<std::uint64_t> number = numberIn(text.substr(0, blank), 10);
    text.remove_prefix(blank + 1);
    const std::size_t end = text.find(' ');
    const std::string_view unit = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!number) return std::nullopt;
    if (unit == "h") {
      seconds += *number * 3600;
    } else if (unit == "min") {
      seconds += *number * 60;
    } else if (unit == "s") {
      seconds += *number;
    } else {
      return std::nullopt;
    }
  }
  if (seconds > std::numeric_limits<Time>::max()) return std::nullopt;
  return static_cast<Time>(seconds);
}

}  // namespace

OutcomeKind outcomeKind(std::string_view outcome) {
  if (outcome == kStartedOutcome) return OutcomeKind::Started;
  if (outcome == kRunningOutcome || outcome == kStillRunningText) return OutcomeKind::Running;
  if (outcome == kHandedOverOutcome) return OutcomeKind::HandedOver;
  if (outcome == kNoLongerWatchedOutcome) return OutcomeKind::NoLongerWatched;
  if (outcome.starts_with(kSkippedPrefix)) return OutcomeKind::Skipped;
  if (parseExitedText(outcome)) return OutcomeKind::Exited;
  return OutcomeKind::Failed;
}

std::string exitCodeText(std::uint32_t exitCode) {
  if (exitCode < kFirstHexExitCode) return std::to_string(exitCode);
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(exitCode));
  return text;
}

std::string durationText(Time seconds) {
  const Time hours = seconds / 3600;
  const Time minutes = seconds % 3600 / 60;
  if (hours > 0) return std::to_string(hours) + " h " + std::to_string(minutes) + " min";
  const std::string rest = std::to_string(seconds % 60) + " s";
  return minutes > 0 ? std::to_string(minutes) + " min " + rest : rest;
}

std::string exitedText(const ProgramExit& exit) {
  return std::string(kExitedPrefix) + exitCodeText(exit.exitCode) + std::string(kAfter) +
         durationText(exit.seconds);
}

std::optional<ProgramExit> parseExitedText(std::string_view outcome) {
  if (!outcome.starts_with(kExitedPrefix)) return std::nullopt;
  outcome.remove_prefix(kExitedPrefix.size());
  const std::size_t after = outcome.find(kAfter);
  if (after == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint32_t> code = parseExitCode(outcome.substr(0, after));
  const std::optional<Time> seconds = parseDuration(outcome.substr(after + kAfter.size()));
  if (!code || !seconds) return std::nullopt;
  return ProgramExit{*code, *seconds};
}

std::string skippedText(std::string_view since) {
  return std::string(kSkippedPrefix) + std::string(since);
}

bool outcomeFailed(std::string_view outcome) {
  if (const std::optional<ProgramExit> exit = parseExitedText(outcome)) return exit->exitCode != 0;
  return outcomeKind(outcome) == OutcomeKind::Failed;
}

}  // namespace kv
