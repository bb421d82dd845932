#include "app/window_title.h"

namespace kv {

std::string windowTitle(std::string_view productName, std::string_view fileName) {
  constexpr std::string_view kEllipsis = "...";
  std::string head = std::string(productName.substr(0, kMaxTitle - 8)) + " - [";
  std::size_t room = kMaxTitle - head.size() - 1;  // the closing bracket
  if (fileName.size() > room) {
    std::size_t keep = room > kEllipsis.size() ? room - kEllipsis.size() : 0;
    return head + std::string(kEllipsis.substr(0, room - keep)) +
           std::string(fileName.substr(fileName.size() - keep)) + "]";
  }
  return head + std::string(fileName) + "]";
}

}  // namespace kv
