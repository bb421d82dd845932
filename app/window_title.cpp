#include "app/window_title.h"

#include "schedule/utf8_text.h"

namespace kv {

std::string windowTitle(std::string_view productName, std::string_view fileName) {
  constexpr std::string_view kEllipsis = "...";
  std::string head = std::string(utf16Head(productName, kMaxTitle - 8)) + " - [";
  std::size_t room = kMaxTitle - utf16Length(head) - 1;  // the closing bracket
  if (utf16Length(fileName) > room) {
    std::size_t keep = room > kEllipsis.size() ? room - kEllipsis.size() : 0;
    return head + std::string(kEllipsis.substr(0, room - keep)) +
           std::string(utf16Tail(fileName, keep)) + "]";
  }
  return head + std::string(fileName) + "]";
}

}  // namespace kv
