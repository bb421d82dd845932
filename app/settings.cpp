#include "app/settings.h"

#include <algorithm>
#include <charconv>

namespace kv {
namespace {

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int> widthOf(std::string_view text) {
  text = trimmed(text);
  int width = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (width < 0 || width > kMaxColumnWidth) return {};
  return width;
}

}  // namespace

const char* viewText(ListView view) {
  return view == ListView::Details ? "Details" : "Rows";
}

ListView parseView(std::string_view storedText) {
  return storedText == viewText(ListView::Details) ? ListView::Details : ListView::Rows;
}

bool flagIsOn(std::string_view storedText) {
  return !storedText.empty() && storedText[0] == '1';
}

ColumnWidths parseColumnWidths(std::string_view text, std::size_t columns) {
  ColumnWidths widths;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    widths.push_back(widthOf(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  // Widths in another count cannot be told apart: which column is which?
  if (widths.size() != columns) return ColumnWidths(columns);
  return widths;
}

std::string columnWidthsText(const ColumnWidths& widths) {
  std::string text;
  bool anyKept = false;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) text += ',';
    if (widths[i]) text += std::to_string(*widths[i]);
    anyKept = anyKept || widths[i].has_value();
  }
  return anyKept ? text : std::string();
}

ColumnWidths widthsToKeep(const ColumnWidths& kept, const std::vector<int>& opened,
                          const std::vector<int>& closing) {
  ColumnWidths widths = kept;
  widths.resize(closing.size());
  for (std::size_t i = 0; i < closing.size(); ++i) {
    // A width past the bound would read back as damaged: the widest is kept.
    if (i >= opened.size() || closing[i] != opened[i]) {
      widths[i] = std::clamp(closing[i], 0, kMaxColumnWidth);
    }
  }
  return widths;
}

std::uint32_t checkTimerPeriod(std::uint32_t time) {
  std::uint64_t period = static_cast<std::uint64_t>(time) * 10u;
  return period > kMaxTimerPeriod ? kMaxTimerPeriod : static_cast<std::uint32_t>(period);
}

}  // namespace kv
