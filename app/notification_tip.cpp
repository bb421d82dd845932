#include "app/notification_tip.h"

#include "schedule/utf8_text.h"

namespace kv {
namespace {

constexpr std::string_view kEllipsis = "...";

// The end of a text that is longer than `room`, after "...".
std::string keepEnd(std::string_view text, std::size_t room) {
  if (utf16Length(text) <= room) return std::string(text);
  std::string kept(kEllipsis);
  kept += utf16Tail(text, room - kEllipsis.size());
  return kept;
}

std::size_t roomLeft(std::size_t room, std::size_t used) {
  return room > used ? room - used : 0;
}

}  // namespace

std::string notificationTip(std::string_view productName, std::string_view fileName,
                            std::string_view description, std::string_view when) {
  std::string tip(utf16Head(productName, kMaxTip));
  if (!fileName.empty()) {
    tip += " - ";
    // The name gets at least half the room, the next start the rest.
    const std::size_t room = roomLeft(kMaxTip / 2, utf16Length(tip));
    if (room > kEllipsis.size()) tip += keepEnd(fileName, room);
  }
  if (when.empty()) return std::string(utf16Head(tip, kMaxTip));
  std::string next = "\nNext: ";
  const std::string at = " at " + std::string(when);
  const std::size_t left = roomLeft(kMaxTip, utf16Length(tip) + next.size() + utf16Length(at));
  next += utf16Head(description, left);
  tip += next + at;
  return std::string(utf16Head(tip, kMaxTip));
}

}  // namespace kv
