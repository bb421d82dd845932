#include "app/notification_tip.h"

namespace kv {
namespace {

constexpr std::string_view kEllipsis = "...";

// The end of a text that is longer than `room`, after "...".
std::string keepEnd(std::string_view text, std::size_t room) {
  if (text.size() <= room) return std::string(text);
  std::string kept(kEllipsis);
  kept += text.substr(text.size() - (room - kEllipsis.size()));
  return kept;
}

}  // namespace

std::string notificationTip(std::string_view productName, std::string_view fileName,
                            std::string_view description, std::string_view when) {
  std::string tip(productName.substr(0, kMaxTip));
  if (!fileName.empty()) {
    tip += " - ";
    // The name gets at least half the room, the next start the rest.
    const std::size_t room = kMaxTip / 2 > tip.size() ? kMaxTip / 2 - tip.size() : 0;
    if (room > kEllipsis.size()) tip += keepEnd(fileName, room);
  }
  if (when.empty()) return tip.substr(0, kMaxTip);
  std::string next = "\nNext: ";
  const std::string at = " at " + std::string(when);
  const std::size_t left = kMaxTip > tip.size() + next.size() + at.size()
                               ? kMaxTip - tip.size() - next.size() - at.size()
                               : 0;
  next += description.substr(0, left);
  tip += next + at;
  return tip.substr(0, kMaxTip);
}

}  // namespace kv
